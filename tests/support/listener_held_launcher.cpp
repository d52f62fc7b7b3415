// Stands in for kovrin.exe where a test needs launchers that keep running: it writes
// standin-<pid>.txt into its working folder, runs until a file named "release" appears
// there (a minute at most), and removes its record as it ends.
#include <windows.h>

#include <string>

int wmain() {
  const std::wstring record = L"standin-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  CloseHandle(CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  for (int waited = 0; waited < 60000 && GetFileAttributesW(L"release") == INVALID_FILE_ATTRIBUTES; waited += 10)
    Sleep(10);
  DeleteFileW(record.c_str());
  return 0;
}
