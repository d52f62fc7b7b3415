// Walks a folder tree with nothing but FindFirstFileW/FindNextFileW, looking for a name:
// the least the platform allows for the launcher's game search. bare_walk FOLDER NAME
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool Walk(const std::wstring& folder, const std::wstring& name) {
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    const wchar_t* n = entry.cFileName;
    if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      found = Walk(folder + L"\\" + n, name);
    else
      found = name == n;
  } while (!found && FindNextFileW(listing, &entry));
  FindClose(listing);
  return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const bool found = Walk(argv[1], argv[2]);
  std::printf("%s\n", found ? "found" : "not found");
  return found ? 0 : 1;
}
