// Stand-ins for Win32 calls behind the launcher's test seams, failing as Windows does where
// Wine does not, and a guard that puts a seam's previous calls back.
#pragma once

#include <windows.h>

#include <cwchar>

template <typename Calls, Calls (*Set)(const Calls&)>
class CallsGuard {
 public:
  explicit CallsGuard(const Calls& calls) : previous_(Set(calls)) {}
  ~CallsGuard() { Set(previous_); }

 private:
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
