#include "log.h"

#include <windows.h>

#include <string>
#include <utility>

#include "log_line.h"
#include "log_testing.h"

namespace {

constexpr wchar_t kLogFileName[] = L"launcher-log.txt";

// Append-only: without FILE_WRITE_DATA, Windows writes every byte at the end of the file
// whatever the file pointer says, even when the lock below could not be had. GENERIC_READ
// because LockFileEx needs a handle "created with the GENERIC_READ or GENERIC_WRITE access
// right" (LockFileEx, Microsoft Learn), and FILE_APPEND_DATA is neither.
constexpr DWORD kLogAccess = GENERIC_READ | (FILE_GENERIC_WRITE & ~FILE_WRITE_DATA);

// A sync client, an indexer or a virus scanner may hold the file without write sharing
// for a moment: a few tries, about 50 ms in all, before the line is given up.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 10;

// Writers serialise on an exclusive lock of one byte far beyond any real end of the file,
// so the lock never stands in the way of a program that only reads the log.
constexpr DWORD kLockOffsetHigh = 0x40000000;
constexpr ULONGLONG kLockWaitMs = 1000;

LogFileCalls g_calls;

std::string CurrentTimestamp() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return FormatUtcTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

HANDLE OpenLogFile() {
  for (int attempt = 1;; ++attempt) {
    HANDLE file = g_calls.createFile(kLogFileName, kLogAccess,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
        attempt == kOpenAttempts)
      return file;
    Sleep(kOpenRetryMs);
  }
}

// Waits for a lock that another writer holds, for at most about a second: a holder that
// hangs may delay a line but never stops the program. Any other failure (a redirector or
// file system that does not lock says ERROR_NOT_SUPPORTED and the like) is not waited out:
// the line is written at once without the lock.
bool AcquireWriterLock(HANDLE file, OVERLAPPED& range) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (g_calls.lockFile(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
      return true;
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return false;
    if (GetTickCount64() - start >= kLockWaitMs) return false;
    Sleep(1);
  }
}

void AppendLine(std::string_view message, LogLayout layout) {
  HANDLE file = OpenLogFile();
  if (file == INVALID_HANDLE_VALUE) return;

  const std::string line = FormatLogLine(CurrentTimestamp(), message, layout);

  OVERLAPPED range{};
  range.OffsetHigh = kLockOffsetHigh;
  const bool locked = AcquireWriterLock(file, range);

  // Windows (and Wine 8, tried) writes at the end on this handle anyway; the lock and the
  // seek to the end keep lines whole between our own writers wherever appending is only
  // emulated. Both calls work on an append-only handle.
  LARGE_INTEGER zero{};
  if (SetFilePointerEx(file, zero, nullptr, FILE_END)) {
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  if (locked) UnlockFileEx(file, 0, 1, 0, &range);
  CloseHandle(file);
}

}  // namespace

void WriteLog(std::string_view message) { AppendLine(message, LogLayout::OneLine); }

void WriteLogKeepingLineBreaks(std::string_view text) {
  AppendLine(text, LogLayout::KeepLineBreaks);
}

LogFileCalls SetLogFileCallsForTesting(const LogFileCalls& calls) { return std::exchange(g_calls, calls); }
