#include "support/test_files_win32.h"

#include <windows.h>

#include <atomic>

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::wstring MakeTestFolder(const std::wstring& name) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring root = std::wstring(temp) + L"zelv-tests";
  CreateDirectoryW(root.c_str(), nullptr);
  // Wine reuses small process ids from one session to the next, so the time is part of
  // the name too: a folder left behind by an earlier run is never taken for this one.
  const std::wstring folder = root + L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
  RemoveTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    if (!RemoveDirectoryW(path.c_str())) DeleteFileW(path.c_str());
    return;
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
  }
  RemoveDirectoryW(path.c_str());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ThisProgramFolder() {
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, 32768);
  std::wstring full(path, length);
  return full.substr(0, full.find_last_of(L"\\/"));
}

std::vector<std::string> SplitCrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> ReadLogMessages(const std::wstring& folder) {
  std::vector<std::string> messages;
  for (const std::string& line : SplitCrLfLines(ReadBytes(folder + L"\\launcher-log.txt"))) {
    // "[YYYY-MM-DDTHH:MM:SSZ] " is 23 bytes.
    if (line.size() >= 23 && line[0] == '[' && line[21] == ']' && line[22] == ' ')
      messages.push_back(line.substr(23));
    else
      messages.push_back(line);
  }
  return messages;
}
