// The tray icon when the shell refuses it at first, as it does at log-on while it starts.
#include "tray_icon.h"

#include <gtest/gtest.h>

#include <string>

#include "listener_window.h"
#include "tray_icon_testing.h"

namespace {

// A shell that turns down the first adds: the taskbar window is not there yet, which
// Shell_NotifyIconW reports as ERROR_FILE_NOT_FOUND (or ERROR_TIMEOUT while it is busy).
struct FakeShell {
  int addsToRefuse = 0;
  int adds = 0;
  bool holdsIcon = false;
  std::wstring tip;
};
FakeShell g_shell;

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
  switch (message) {
    case NIM_ADD:
      if (++g_shell.adds <= g_shell.addsToRefuse || g_shell.holdsIcon) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
      }
      g_shell.holdsIcon = true;
      g_shell.tip = data->szTip;
      return TRUE;
    case NIM_MODIFY:
      return g_shell.holdsIcon;
    case NIM_DELETE:
      g_shell.holdsIcon = false;
      return TRUE;
    default:
      return FALSE;
  }
}

struct TrayCallsGuard {
  TrayCallsGuard() { SetTrayCalls({&FakeNotifyIcon}); }
  ~TrayCallsGuard() {
    SetTrayCalls({});
    SetTrayListening(true);
  }
};

void PumpMessagesUntil(ULONGLONG deadline, int adds) {
  while (GetTickCount64() < deadline && g_shell.adds < adds) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

TEST(TrayIconTest, RefusedIconIsAddedAgainEverySecondUntilTheShellTakesIt) {
  TrayCallsGuard guard;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ListenerWndProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);

  struct Case {
    int refusals;
    bool listening;
    const wchar_t* tip;
  };
  for (const Case& c : {Case{0, true, L"ZelvListener listening on localhost"},
                        Case{2, false, L"ZelvListener not listening: port 8080 unavailable (see View Logs)"}}) {
    g_shell = FakeShell{};
    g_shell.addsToRefuse = c.refusals;
    SetTrayListening(c.listening);
    const ULONGLONG start = GetTickCount64();
    HWND window = CreateWindowExW(0, kWindowClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    PumpMessagesUntil(start + 5000, c.refusals + 1);
    EXPECT_EQ(g_shell.adds, c.refusals + 1) << c.refusals;
    EXPECT_TRUE(g_shell.holdsIcon) << c.refusals;
    EXPECT_EQ(g_shell.tip, c.tip);
    EXPECT_GE(GetTickCount64() - start, c.refusals * 900u);  // a second apart, not in a burst
    EXPECT_FALSE(KillTimer(window, ID_TRAY_RETRY_TIMER)) << "still retrying after the icon was added";

    DestroyWindow(window);  // removes the icon and posts WM_QUIT, which is not ours to keep
    EXPECT_FALSE(g_shell.holdsIcon);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

}  // namespace
