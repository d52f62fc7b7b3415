#include "join_endpoint.h"

#include <windows.h>

#include <string>
#include <vector>

#include "launcher_command.h"
#include "log.h"
#include "text_convert.h"

bool StartLauncher(std::string_view query) {
  const std::string uri = MakeJoinUri(query);
  WriteLog("Calling launcher with URI: " + uri);

  // The bare file name makes the system look next to our own executable first.
  const std::wstring commandLine = BuildLauncherCommandLine(Utf8ToWide(uri));
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    WriteLog("CreateProcess failed: " + std::to_string(GetLastError()));
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}
