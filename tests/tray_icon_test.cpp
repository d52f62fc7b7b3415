// The tray icon when the shell refuses it at first, as it does at log-on while it starts.
#include "tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "listener_window.h"
#include "support/call_fakes_win32.h"
#include "tray_icon_testing.h"

namespace {

// Until the taskbar exists Shell_NotifyIconW fails, with ERROR_FILE_NOT_FOUND or ERROR_TIMEOUT.
int g_refusals = 0;
int g_adds = 0;
std::wstring g_shownTip;  // empty while the shell holds no icon

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
  if (message == NIM_DELETE) g_shownTip.clear();
  if (message != NIM_ADD) return message == NIM_DELETE || !g_shownTip.empty();
  if (++g_adds <= g_refusals || !g_shownTip.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  g_shownTip = data->szTip;
  return TRUE;
}

TEST(TrayIconTest, RefusedIconIsAddedAgainEverySecondUntilTheShellTakesIt) {
  const CallsGuard fake(SetTrayCallsForTesting, {&FakeNotifyIcon});
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ListenerWndProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);
  for (const auto& [refusals, listening, tip] :
       {std::tuple{0, true, L"ZelvListener listening on localhost"},
        {2, false, L"ZelvListener not listening: port 8080 unavailable (see View Logs)"}}) {
    g_refusals = refusals;
    g_adds = 0;
    SetTrayListening(listening);
    const ULONGLONG start = GetTickCount64();
    const HWND window = CreateWindowExW(0, kWindowClassName, kWindowTitle, 0, 0, 0, 400, 200, nullptr, nullptr,
                                        windowClass.hInstance, nullptr);
    while (g_adds <= refusals && GetTickCount64() - start < 5000) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(10);
    }
    EXPECT_EQ(g_adds, refusals + 1);
    EXPECT_EQ(g_shownTip, tip);
    EXPECT_GE(GetTickCount64() - start, refusals * 900u);  // a second apart
    EXPECT_FALSE(KillTimer(window, ID_TRAY_RETRY_TIMER)) << "still retrying after the icon was added";
    DestroyWindow(window);  // removes the icon and posts WM_QUIT, which is not ours to keep
    EXPECT_EQ(g_shownTip, L"");
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  SetTrayListening(true);
}

}  // namespace
