// The RetroArch command line built from any field values must split back, by the C
// runtime's rules, into exactly the arguments meant: no value adds an argument or option.
//
// Input: one byte whose lowest bit chooses relay mode, then the fields in RetroArchArgs
// order (retroarchPath, host, relay, port, session, nickname, passwordFilePath, corePath,
// gamePath), separated by NUL bytes.
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "retroarch_command_line.h"
#include "support/windows_arg_split.h"

namespace {

// Join values reach the builder through Utf8ToWide, which stops at the first NUL.
std::wstring JoinValue(std::string_view bytes) {
  std::wstring value = WidenFuzzBytes(bytes);
  value.resize(std::wcslen(value.c_str()));
  return value;
}

// A Windows path holds neither a double quote nor a NUL.
std::wstring PathValue(std::string_view bytes) {
  std::wstring path = JoinValue(bytes);
  std::erase(path, L'"');
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<std::string_view> fields = SplitAtNul(FuzzBytes(data + 1, size - 1), 9);

  RetroArchArgs args;
  args.relayMode = (data[0] & 1) != 0;
  args.retroarchPath = PathValue(fields[0]);
  args.host = JoinValue(fields[1]);
  args.relay = JoinValue(fields[2]);
  args.port = JoinValue(fields[3]);
  args.session = JoinValue(fields[4]);
  args.nickname = JoinValue(fields[5]);
  args.passwordFilePath = PathValue(fields[6]);
  args.corePath = PathValue(fields[7]);
  args.gamePath = PathValue(fields[8]);

  std::vector<std::wstring> expected = {args.retroarchPath};
  if (args.relayMode && !args.session.empty()) {
    expected.insert(expected.end(), {L"--connect", args.relay + L'|' + args.port + L'|' + args.session});
  } else if (args.relayMode) {
    expected.insert(expected.end(), {L"--connect", args.relay});
  } else if (!args.host.empty()) {
    expected.insert(expected.end(), {L"--connect", args.host});
  }
  expected.insert(expected.end(), {L"--port", args.port});
  expected.insert(expected.end(), {L"--nick", args.nickname});
  if (!args.passwordFilePath.empty())
    expected.insert(expected.end(), {L"--appendconfig", args.passwordFilePath});
  if (!args.corePath.empty()) expected.insert(expected.end(), {L"--libretro", args.corePath});
  expected.push_back(args.gamePath);

  FUZZ_CHECK(SplitWindowsCommandLine(BuildRetroArchCommandLine(args)) == expected);
  return 0;
}
