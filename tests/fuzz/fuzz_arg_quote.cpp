// Any UTF-16 text as one argument: quoted, it splits back to itself, and as the URI of the
// launcher's command line it reaches the launcher unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "arg_quote.h"
#include "fuzz_support.h"
#include "launcher_command.h"
#include "support/windows_arg_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::wstring value = WidenFuzzBytes(FuzzBytes(data, size));

  // Arguments on both sides show that the value neither swallows nor adds one.
  for (const std::wstring& quoted : {QuoteWindowsArg(value), QuoteWindowsArgIfNeeded(value)}) {
    const std::vector<std::wstring> expected = {L"--opt", value, L"next"};
    FUZZ_CHECK(SplitWindowsArguments(L"--opt " + quoted + L" next") == expected);
  }

  const std::vector<std::wstring> expected = {kLauncherFileName, value};
  FUZZ_CHECK(SplitWindowsCommandLine(BuildLauncherCommandLine(value)) == expected);
  return 0;
}
