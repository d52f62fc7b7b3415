// Prints a program's version record, one "Name=value" line each, so that scripts can
// check a shipped executable as Windows itself reads it (scripts/check-package).
//
//   version_info_probe.exe <file.exe>
// Exit code 1 when the file carries no version record.
#include <cstdio>
#include <string>

#include "support/test_files_win32.h"
#include "support/version_info_win32.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: version_info_probe <file.exe>\n", stderr);
    return 2;
  }
  const std::optional<VersionInfo> info = ReadVersionInfo(argv[1]);
  if (!info) {
    std::fputs("no version record\n", stderr);
    return 1;
  }
  std::printf("FixedFileVersion=%s\n", Narrow(info->fixedFileVersion).c_str());
  std::printf("FixedProductVersion=%s\n", Narrow(info->fixedProductVersion).c_str());
  for (const std::wstring& name : VersionStringNames())
    std::printf("%s=%s\n", Narrow(name).c_str(), Narrow(VersionString(*info, name)).c_str());
  return 0;
}
