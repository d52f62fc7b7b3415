#include "file_system.h"

#include <windows.h>

#include <utility>

#include "file_system_testing.h"
#include "path_rules.h"

namespace {

FileSystemCalls g_calls;

}  // namespace

FileSystemCalls SetFileSystemCallsForTesting(const FileSystemCalls& calls) {
  return std::exchange(g_calls, calls);
}

std::wstring CurrentFolder() {
  // The folder can change between the two calls; retry until the buffer was big enough.
  for (;;) {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0) return {};
    if (length < needed) {
      folder.resize(length);
      return folder;
    }
  }
}

std::wstring PathForFileCalls(const std::wstring& path) {
  // Without the long path opt-in, Windows refuses longer paths in the normal form
  // (learn.microsoft.com/windows/win32/fileio/maximum-file-path-limitation).
  if (path.size() < kMaxPathLength || path.starts_with(kExtendedPathPrefix)) return path;
  // The extended form is taken literally: '/', "." and ".." must be resolved first.
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return ExtendedLengthPath(full);
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = g_calls.getFileAttributes(PathForFileCalls(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = g_calls.getFileAttributes(PathForFileCalls(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = g_calls.createFile(PathForFileCalls(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  char buffer[16384];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  HANDLE file = g_calls.createFile(PathForFileCalls(path).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return true;
}
