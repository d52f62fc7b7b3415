#include "join_endpoint.h"

#include <string>

#include "launcher_command.h"
#include "log.h"
#include "text_convert.h"

namespace {

// This program's own path, however long: GetModuleFileNameW cuts the path to the buffer
// and returns the buffer's size when it does not fit, so the buffer grows until it does.
std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 65536) return {};
    path.resize(path.size() * 2);
  }
}

void ForgetEnded(std::vector<HANDLE>& running) {
  std::erase_if(running, [](HANDLE process) {
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) return false;
    CloseHandle(process);
    return true;
  });
}

}  // namespace

LauncherStarts::~LauncherStarts() {
  for (HANDLE process : running) CloseHandle(process);
}

bool StartLauncher(LauncherStarts& launchers, std::string_view query) {
  ForgetEnded(launchers.running);
  const ULONGLONG now = GetTickCount64();
  switch (DecideJoin(launchers.recent, query, now, launchers.running.size())) {
    case JoinDecision::SameJoinAgain:
      WriteLog("Same join again within 5 s: not started twice");
      return true;
    case JoinDecision::TooMany:
      WriteLog("Too many joins at once: launcher not started");
      return false;
    case JoinDecision::Start:
      break;
  }

  const std::string uri = MakeJoinUri(query);
  WriteLog("Calling launcher with URI: " + uri);

  // Only the launcher beside this program: named by its bare name, CreateProcessW would
  // also search the current folder, the system folders and PATH when that one is missing.
  const std::wstring launcher = LauncherBeside(OwnPath());
  if (launcher.empty()) {
    WriteLog("CreateProcess failed: " + std::to_string(GetLastError()));
    return false;
  }
  const std::wstring commandLine = BuildLauncherCommandLine(Utf8ToWide(uri));
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(launcher.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    WriteLog("CreateProcess failed: " + std::to_string(GetLastError()));
    return false;
  }
  CloseHandle(process.hThread);
  launchers.running.push_back(process.hProcess);
  NoteJoinStarted(launchers.recent, query, now);
  return true;
}
