#include "listener_window.h"

#include <shellapi.h>

#include "http_server.h"
#include "tray_icon.h"

HWND g_window = nullptr;

namespace {

void ShowTrayMenu(HWND window) {
  POINT cursor;
  GetCursorPos(&cursor);
  HMENU menu = CreateTrayMenu();
  // The window must be in the foreground, or the menu does not close when the user
  // clicks elsewhere.
  SetForegroundWindow(window);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, window, nullptr));
  // TrackPopupMenu's documentation: without a message to the owner after the menu, the
  // next time it is shown it may close at once.
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);

  switch (command) {
    case ID_TRAY_VIEWLOGS:
      ShellExecuteW(nullptr, L"open", L"launcher-log.txt", nullptr, nullptr, SW_SHOWDEFAULT);
      break;
    case ID_TRAY_EXIT:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

void OnTrayEvent(HWND window, LPARAM event) {
  switch (event) {
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      ShowTrayMenu(window);
      break;
    case WM_LBUTTONDBLCLK:
      ShowWindow(window, SW_SHOW);
      break;
    default:
      break;
  }
}

}  // namespace

LRESULT CALLBACK ListenerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Explorer sends this to every top-level window when the taskbar is re-created after
  // a restart; icons that are not added again are gone.
  static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  if (message == taskbarCreated && taskbarCreated != 0) {
    AddTrayIcon(window);
    return 0;
  }

  switch (message) {
    case WM_CREATE:
      AddTrayIcon(window);
      return 0;
    case WM_TRAYICON:
      OnTrayEvent(window, lParam);
      return 0;
    case WM_TIMER:
      if (wParam == ID_TRAY_RETRY_TIMER) RetryTrayIcon(window);
      return 0;
    case WM_CLOSE:
      g_running = false;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      RemoveTrayIcon();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
