// Argument values a web page might send to make one value into several arguments.
#pragma once

#include <string>
#include <vector>

inline const std::vector<std::wstring>& HostileArguments() {
  static const std::vector<std::wstring> values = {
      L"",
      L" ",
      L"plain",
      L"two words",
      L"tab\there",
      L"\"",
      L"\"\"",
      L"a\"b",
      L"\\",
      L"\\\\",
      L"trailing\\",
      L"trailing\\\\",
      L"\\\"",
      L"a\\\\\"b",
      L"x\" --nick evil \"",
      L"x\\\" --libretro \\\"C:\\evil.dll",
      L"\" --appendconfig evil.cfg",
      L"C:\\path with\\blanks\\",
      L"--port",
      L"\"\" \"\"",
      L"a\\b\\c",
      L"\\\\server\\share",
      L"\x00e9\x4e2d",
  };
  return values;
}
