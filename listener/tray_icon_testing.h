// Test-only: the shell call behind the tray icon, so that tests can refuse the icon as a
// shell that is still starting does.
#pragma once

#include <windows.h>
#include <shellapi.h>

struct TrayCalls {
  decltype(&Shell_NotifyIconW) notifyIcon = &Shell_NotifyIconW;
};

// Puts calls in place and returns the ones in use before.
TrayCalls SetTrayCallsForTesting(const TrayCalls& calls);
