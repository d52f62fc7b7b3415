#include "log.h"

#include <windows.h>

#include <string>

#include "log_line.h"

namespace {

constexpr wchar_t kLogFileName[] = L"launcher-log.txt";

// Writers serialise on an exclusive lock of one byte far beyond any real end of the file,
// so the lock never stands in the way of a program that only reads the log.
constexpr DWORD kLockOffsetHigh = 0x40000000;
constexpr ULONGLONG kLockWaitMs = 1000;

std::string CurrentTimestamp() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return FormatUtcTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// Waits for the writers' lock for at most about a second. A holder that hangs may delay a
// line but never stops the program: after the wait the line is written without the lock.
bool AcquireWriterLock(HANDLE file, OVERLAPPED& range) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
      return true;
    if (GetTickCount64() - start >= kLockWaitMs) return false;
    Sleep(1);
  }
}

void AppendLine(std::string_view message, LogLayout layout) {
  // Wine implements append-only handles as "read the size, then write there", so two
  // writers can pick the same offset; the lock plus an explicit seek avoids that.
  HANDLE file = CreateFileW(kLogFileName, GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;

  const std::string line = FormatLogLine(CurrentTimestamp(), message, layout);

  OVERLAPPED range{};
  range.OffsetHigh = kLockOffsetHigh;
  const bool locked = AcquireWriterLock(file, range);

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
