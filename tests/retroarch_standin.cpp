// Stands in for RetroArch in tests: records how it was started and exits.
//
// Writes standin-<pid>.txt into its working folder: the folder itself, the raw command
// line, and every argument as the C runtime split it, one per line, in UTF-8. The record
// is written under a temporary name and renamed, so a reader never sees half of it.
// While a file named "hold" is in that folder (a minute at most), it keeps running: for
// tests of a program that counts the processes it started until they end.
#include <windows.h>

#include <string>

namespace {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                      length, nullptr, nullptr);
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t folder[32768];
  const DWORD folderLength = GetCurrentDirectoryW(32768, folder);

  std::string record = "cwd: " + ToUtf8(std::wstring(folder, folderLength)) + "\n";
  record += "cmdline: " + ToUtf8(GetCommandLineW()) + "\n";
  record += "argc: " + std::to_string(argc) + "\n";
  for (int i = 0; i < argc; ++i) {
    record += "argv[" + std::to_string(i) + "]: " + ToUtf8(argv[i]) + "\n";
  }

  const std::wstring name = L"standin-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  const std::wstring partial = name + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  if (!MoveFileExW(partial.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING)) return 3;
  for (int waited = 0; waited < 60000 && GetFileAttributesW(L"hold") != INVALID_FILE_ATTRIBUTES; waited += 10)
    Sleep(10);
  return 0;
}
