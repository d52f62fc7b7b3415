// Test-only: the Win32 calls of the log writer, so that tests can make them fail the way
// Windows can and Wine does not. Production code never uses this header.
#pragma once

#include <windows.h>

struct LogFileCalls {
  decltype(&CreateFileW) createFile = &CreateFileW;
  decltype(&LockFileEx) lockFile = &LockFileEx;
};

// Puts calls in place and returns the ones in use before.
LogFileCalls SetLogFileCallsForTesting(const LogFileCalls& calls);
