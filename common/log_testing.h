// Test-only: the Win32 calls of the log writer, so that tests can make them fail the way
// Windows can and Wine does not. Production code never uses this header.
#pragma once

#include <windows.h>

struct LogFileCalls {
  decltype(&CreateFileW) createFile = &CreateFileW;
  decltype(&LockFileEx) lockFile = &LockFileEx;
};

// Replaces the calls and returns the ones in use before.
LogFileCalls SetLogFileCallsForTesting(const LogFileCalls& calls);

// Puts the real calls back when the test ends.
class ScopedLogFileCalls {
 public:
  explicit ScopedLogFileCalls(const LogFileCalls& calls) : saved_(SetLogFileCallsForTesting(calls)) {}
  ~ScopedLogFileCalls() { SetLogFileCallsForTesting(saved_); }
  ScopedLogFileCalls(const ScopedLogFileCalls&) = delete;
  ScopedLogFileCalls& operator=(const ScopedLogFileCalls&) = delete;

 private:
  LogFileCalls saved_;
};
