#include "tray_icon.h"

#include <shellapi.h>

#include <string_view>
#include <utility>

#include "log.h"
#include "tray_icon_testing.h"

namespace {

constexpr UINT kRetryMs = 1000;
constexpr int kRetries = 120;  // two minutes

// The one tray record of the process, filled when the icon is added and used to remove it.
struct TrayRecord {
  NOTIFYICONDATAW icon{};
  bool listening = true;
  int retriesLeft = 0;
};
TrayRecord g_tray;
TrayCalls g_trayCalls;

// The shell may report a failed add that it carried out after all (a timeout while it is
// busy starting); then NIM_ADD keeps failing while NIM_MODIFY finds the icon.
bool TryAdd() {
  return g_trayCalls.notifyIcon(NIM_ADD, &g_tray.icon) || g_trayCalls.notifyIcon(NIM_MODIFY, &g_tray.icon);
}

}  // namespace

TrayCalls SetTrayCallsForTesting(const TrayCalls& calls) { return std::exchange(g_trayCalls, calls); }

void SetTrayListening(bool listening) { g_tray.listening = listening; }

void AddTrayIcon(HWND window) {
  g_tray.icon = NOTIFYICONDATAW{};
  g_tray.icon.cbSize = sizeof g_tray.icon;
  g_tray.icon.hWnd = window;
  g_tray.icon.uID = ID_TRAYICON;
  g_tray.icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_tray.icon.uCallbackMessage = WM_TRAYICON;
  g_tray.icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  // szTip is zeroed above, so the copy stays terminated; MSVC rejects wcsncpy at /W4 /WX.
  constexpr std::wstring_view kListening = L"ZelvListener listening on localhost";
  constexpr std::wstring_view kNotListening = L"ZelvListener not listening: port 8080 unavailable (see View Logs)";
  static_assert(kNotListening.size() < sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t));
  const std::wstring_view tip = g_tray.listening ? kListening : kNotListening;
  tip.copy(g_tray.icon.szTip, tip.size());

  g_tray.retriesLeft = kRetries;
  if (TryAdd()) {
    KillTimer(window, ID_TRAY_RETRY_TIMER);  // a re-add after TaskbarCreated ends any retries
  } else {
    SetTimer(window, ID_TRAY_RETRY_TIMER, kRetryMs, nullptr);
  }
}

void RetryTrayIcon(HWND window) {
  if (TryAdd()) {
    KillTimer(window, ID_TRAY_RETRY_TIMER);
  } else if (--g_tray.retriesLeft <= 0) {
    KillTimer(window, ID_TRAY_RETRY_TIMER);
    WriteLog("Tray icon not shown: the taskbar refused it for 2 minutes");
  }
}

void RemoveTrayIcon() { g_trayCalls.notifyIcon(NIM_DELETE, &g_tray.icon); }

HMENU CreateTrayMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, ID_TRAY_VIEWLOGS, L"View Logs");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ID_TRAY_EXIT, L"Exit");
  return menu;
}
