#include "support/join_folder_win32.h"

#include <windows.h>

#include "support/process_win32.h"
#include "support/test_files_win32.h"

std::wstring KovrinPath() { return ThisProgramFolder() + L"\\..\\bin\\kovrin.exe"; }
std::wstring ListenerPath() { return ThisProgramFolder() + L"\\..\\bin\\ZelvListener.exe"; }

JoinFolder MakeJoinFolder(const std::wstring& name) {
  JoinFolder folder;
  folder.base = MakeTestFolder(name);
  folder.ra = folder.base + L"\\RA";
  CreateDirectoryW(folder.ra.c_str(), nullptr);
  CopyFileW((ThisProgramFolder() + L"\\retroarch_standin.exe").c_str(),
            (folder.ra + L"\\retroarch.exe").c_str(), FALSE);
  CreateDirectoryW((folder.base + L"\\cores").c_str(), nullptr);
  WriteBytes(folder.base + L"\\cores\\examplecore_libretro.dll", "core");
  CreateDirectoryW((folder.base + L"\\games").c_str(), nullptr);
  CreateDirectoryW((folder.base + L"\\games\\gb").c_str(), nullptr);
  WriteBytes(folder.base + L"\\games\\gb\\Puzzle Game.gb", "rom");
  WriteBytes(folder.base + L"\\launcher-config.json", "{\n  \"retroarchPath\": \"" + Narrow(folder.ra) +
                                                          "\\retroarch.exe\",\n"
                                                          "  \"coresPath\": \"./cores\",\n"
                                                          "  \"gamesPath\": \"games\"\n}\n");
  return folder;
}

std::vector<std::wstring> StandinRecordFiles(const std::wstring& raFolder) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW((raFolder + L"\\standin-*.txt").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return files;
  do files.push_back(raFolder + L"\\" + entry.cFileName);
  while (FindNextFileW(listing, &entry));
  FindClose(listing);
  return files;
}

StandinRecord ReadStandinRecord(const std::wstring& file) {
  StandinRecord record;
  const std::string text = ReadBytes(file);
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = (end == std::string::npos) ? text.size() : end + 1;
    if (line.starts_with("cwd: ")) record.cwd = line.substr(5);
    if (line.starts_with("cmdline: ")) record.commandLine = line.substr(9);
    if (line.starts_with("argv[")) record.argv.push_back(line.substr(line.find("]: ") + 3));
  }
  return record;
}

StandinRecord WaitForStandin(const std::wstring& raFolder, unsigned long timeoutMs) {
  if (!WaitUntil([&] { return !StandinRecordFiles(raFolder).empty(); }, timeoutMs)) return {};
  return ReadStandinRecord(StandinRecordFiles(raFolder).front());
}
