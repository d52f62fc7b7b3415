#include "game_search.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "file_system.h"
#include "path_rules.h"
#include "text_convert.h"

namespace {

// A folder's identity on its volume; the same folder reached through a link has the same.
using FolderId = std::pair<DWORD, std::uint64_t>;

std::optional<FolderId> ReadFolderId(const std::wstring& folder) {
  HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!ok) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool IsDotEntry(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') ||
         (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

bool Walk(const std::wstring& folder, const std::wstring& wanted, std::wstring& result,
          std::set<FolderId>& entered) {
  // A folder whose identity cannot be read is walked without being recorded.
  if (const auto id = ReadFolderId(folder); id && !entered.insert(*id).second) return false;

  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileW(JoinPath(folder, L"*").c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return false;

  bool found = false;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    std::wstring path = JoinPath(folder, entry.cFileName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found = Walk(path, wanted, result, entered);
    } else if (wanted == entry.cFileName) {
      result = std::move(path);
      found = true;
    }
  } while (!found && FindNextFileW(listing, &entry));

  FindClose(listing);
  return found;
}

}  // namespace

bool FindFileRecursive(const std::wstring& folder, const std::string& name, std::wstring& result) {
  if (!FolderExists(folder)) return false;
  std::set<FolderId> entered;
  return Walk(folder, Utf8ToWide(name), result, entered);
}
