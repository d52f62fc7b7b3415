// The notification-area icon and its menu. Touched only from the window thread.
#pragma once

#include <windows.h>

inline constexpr UINT WM_TRAYICON = WM_APP + 1;  // the icon's callback message
inline constexpr UINT ID_TRAYICON = 1001;
inline constexpr UINT ID_TRAY_EXIT = 2001;
inline constexpr UINT ID_TRAY_VIEWLOGS = 2002;
// The window timer that tries the icon again while the shell refuses it.
inline constexpr UINT_PTR ID_TRAY_RETRY_TIMER = 1;

// Chooses the tip: listening on localhost, or not. Called before the icon is added.
void SetTrayListening(bool listening);

// Fills the tray record for this window and adds the icon; also used when the taskbar
// has been re-created and the icon must come back. At log-on the shell may not take it
// yet: then the window's ID_TRAY_RETRY_TIMER tries again every second for two minutes.
void AddTrayIcon(HWND window);
// One more try, on the retry timer.
void RetryTrayIcon(HWND window);
void RemoveTrayIcon();

// "View Logs", a separator, "Exit". The caller destroys it.
HMENU CreateTrayMenu();
