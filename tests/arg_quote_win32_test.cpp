// The quoting checked against the platform's own splitter.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "arg_quote.h"
#include "hostile_strings.h"
#include "support/windows_arg_split.h"

namespace {

std::vector<std::wstring> PlatformSplit(const std::wstring& commandLine) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &count);
  std::vector<std::wstring> args(argv, argv + count);
  LocalFree(argv);
  return args;
}

TEST(QuoteWindowsArgPlatformTest, CommandLineToArgvGivesBackEveryHostileValue) {
  for (const std::wstring& value : HostileArguments()) {
    for (const std::wstring& quoted : {QuoteWindowsArg(value), QuoteWindowsArgIfNeeded(value)}) {
      const std::wstring line = L"\"C:\\p.exe\" --opt " + quoted + L" next";
      const std::vector<std::wstring> args = PlatformSplit(line);
      ASSERT_EQ(args.size(), 4u) << line;
      EXPECT_EQ(args[2], value) << line;
      EXPECT_EQ(args[3], L"next") << line;
      // The reference splitter that the native tests rely on agrees with the platform.
      EXPECT_EQ(SplitWindowsCommandLine(line), args) << line;
    }
  }
}

}  // namespace
