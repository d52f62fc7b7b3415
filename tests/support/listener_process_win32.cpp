#include "support/listener_process_win32.h"

#include <algorithm>

#include "support/process_win32.h"
#include "support/test_files_win32.h"

namespace {

bool LogHolds(const std::wstring& folder, const std::string& message) {
  const std::vector<std::string> log = ReadLogMessages(folder);
  return std::find(log.begin(), log.end(), message) != log.end();
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64];
  if (owner == search->processId && GetClassNameW(window, className, 64) &&
      std::wstring(className) == L"ZelvListenerWnd") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ListenerProcess StartListener(const std::wstring& program, const std::wstring& workingFolder) {
  ListenerProcess listener;
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.c_str(), &startup, &info))
    return listener;
  CloseHandle(info.hThread);
  listener.process = info.hProcess;
  listener.id = info.dwProcessId;
  WaitUntil([&] {
    return LogHolds(workingFolder, "Listening on http://localhost:8080") ||
           LogHolds(workingFolder, "Listener failed to start");
  }, 15000);
  return listener;
}

HWND FindListenerWindow(const ListenerProcess& listener, unsigned long timeoutMs) {
  WindowSearch search{listener.id, nullptr};
  WaitUntil([&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, timeoutMs);
  return search.found;
}

unsigned long WaitForExit(ListenerProcess& listener, unsigned long timeoutMs) {
  if (!listener.process || WaitForSingleObject(listener.process, timeoutMs) != WAIT_OBJECT_0) return ~0ul;
  DWORD code = ~0ul;
  GetExitCodeProcess(listener.process, &code);
  CloseHandle(listener.process);
  listener.process = nullptr;
  return code;
}

unsigned long StopListener(ListenerProcess& listener, unsigned long timeoutMs) {
  if (!listener.process) return ~0ul;
  if (HWND window = FindListenerWindow(listener, 2000)) PostMessageW(window, WM_CLOSE, 0, 0);
  const unsigned long code = WaitForExit(listener, timeoutMs);
  if (listener.process) {
    TerminateProcess(listener.process, ~0u);
    WaitForExit(listener, 5000);
  }
  return code;
}

bool IsRunning(const ListenerProcess& listener) {
  return listener.process && WaitForSingleObject(listener.process, 0) == WAIT_TIMEOUT;
}
