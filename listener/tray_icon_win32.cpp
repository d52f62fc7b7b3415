#include "tray_icon.h"

#include <shellapi.h>

#include <string_view>

namespace {

// The one tray record of the process, filled when the icon is added and used to remove it.
NOTIFYICONDATAW g_trayIcon{};

}  // namespace

void AddTrayIcon(HWND window) {
  g_trayIcon = NOTIFYICONDATAW{};
  g_trayIcon.cbSize = sizeof g_trayIcon;
  g_trayIcon.hWnd = window;
  g_trayIcon.uID = ID_TRAYICON;
  g_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_trayIcon.uCallbackMessage = WM_TRAYICON;
  g_trayIcon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  // szTip is zeroed above, so the copy stays terminated; MSVC rejects wcsncpy at /W4 /WX.
  constexpr std::wstring_view kTip = L"ZelvListener listening on localhost";
  static_assert(kTip.size() < sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t));
  kTip.copy(g_trayIcon.szTip, kTip.size());
  Shell_NotifyIconW(NIM_ADD, &g_trayIcon);
}

void RemoveTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &g_trayIcon); }

HMENU CreateTrayMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, ID_TRAY_VIEWLOGS, L"View Logs");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ID_TRAY_EXIT, L"Exit");
  return menu;
}
