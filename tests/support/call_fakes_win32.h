// The guard every test uses with a Win32 call seam (the Set*CallsForTesting setters), and
// stand-ins for calls that fail as Windows does where Wine does not.
#pragma once

#include <windows.h>

#include <cwchar>

// Puts a seam's calls in place for one scope and the previous ones back after it, even
// when an assertion ends the test early:
//   const CallsGuard fake(SetLogFileCallsForTesting, {.lockFile = &LockFileExNotSupported});
template <typename Calls>
class CallsGuard {
 public:
  CallsGuard(Calls (*set)(const Calls&), const Calls& calls) : set_(set), previous_(set(calls)) {}
  ~CallsGuard() { set_(previous_); }
  CallsGuard(const CallsGuard&) = delete;
  CallsGuard& operator=(const CallsGuard&) = delete;

 private:
  Calls (*set_)(const Calls&);
  Calls previous_;
};

// Without the long path opt-in, Windows refuses the normal form of a path of MAX_PATH or more
// characters (learn.microsoft.com/windows/win32/fileio/maximum-file-path-limitation).
inline bool RefusedAsTooLong(LPCWSTR path) {
  if (std::wcslen(path) < MAX_PATH || std::wcsncmp(path, L"\\\\?\\", 4) == 0) return false;
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return true;
}

inline HANDLE WINAPI CreateFileRefusingLongPaths(LPCWSTR path, DWORD access, DWORD share,
                                                 LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                                 DWORD flags, HANDLE templateFile) {
  return RefusedAsTooLong(path) ? INVALID_HANDLE_VALUE
                                : CreateFileW(path, access, share, security, disposition, flags, templateFile);
}

inline HANDLE WINAPI FindFirstFileExRefusingLongPaths(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID data,
                                                      FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags) {
  return RefusedAsTooLong(pattern) ? INVALID_HANDLE_VALUE
                                   : FindFirstFileExW(pattern, level, data, search, filter, flags);
}

inline DWORD WINAPI GetFileAttributesRefusingLongPaths(LPCWSTR path) {
  return RefusedAsTooLong(path) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path);
}
