// The notification-area icon and its menu. Touched only from the window thread.
#pragma once

#include <windows.h>

inline constexpr UINT WM_TRAYICON = WM_APP + 1;  // the icon's callback message
inline constexpr UINT ID_TRAYICON = 1001;
inline constexpr UINT ID_TRAY_EXIT = 2001;
inline constexpr UINT ID_TRAY_VIEWLOGS = 2002;

// Fills the tray record for this window and adds the icon; also used when the taskbar
// has been re-created and the icon must come back.
void AddTrayIcon(HWND window);
void RemoveTrayIcon();

// "View Logs", a separator, "Exit". The caller destroys it.
HMENU CreateTrayMenu();
