// The listener's hidden window: it owns the tray icon and receives its events.
#pragma once

#include <windows.h>

inline constexpr wchar_t kWindowClassName[] = L"ZelvListenerWnd";
inline constexpr wchar_t kWindowTitle[] = L"ZelvListener";

// The hidden window, set once when it is created.
extern HWND g_window;

LRESULT CALLBACK ListenerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
