#include "game_search.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "file_system.h"
#include "path_rules.h"
#include "text_convert.h"

namespace {

// A folder's identity on its volume; the same folder reached through a link has the same.
using FolderId = std::pair<DWORD, std::uint64_t>;

std::optional<FolderId> ReadFolderId(HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder, &info)) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool IsDotEntry(std::wstring_view name) { return name == L"." || name == L".."; }

// Lists the folder through one handle, in the same order as FindFirstFileW. The listing
// also gives each subfolder's identity, so the cycle guard asks the file system only for
// the top folder and for links (which may lead to another volume).
bool Walk(const std::wstring& folder, std::optional<FolderId> id, const std::wstring& wanted,
          std::wstring& result, std::set<FolderId>& entered) {
  HANDLE listing = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (listing == INVALID_HANDLE_VALUE) return false;
  // A folder whose identity cannot be read is walked without being recorded.
  if (!id) id = ReadFolderId(listing);
  if (id && !entered.insert(*id).second) {
    CloseHandle(listing);
    return false;
  }

  // On the heap: one buffer per level of a deep tree would not fit on the stack.
  std::vector<unsigned char> buffer(16384);
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  bool found = false;
  while (!found && GetFileInformationByHandleEx(listing, request, buffer.data(),
                                                static_cast<DWORD>(buffer.size()))) {
    request = FileIdBothDirectoryInfo;
    for (size_t offset = 0;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + offset);
      const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (!IsDotEntry(name)) {
        if (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          std::optional<FolderId> childId;
          if (id && !(entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            childId = FolderId{id->first, static_cast<std::uint64_t>(entry->FileId.QuadPart)};
          found = Walk(JoinPath(folder, name), childId, wanted, result, entered);
        } else if (name == wanted) {
          result = JoinPath(folder, name);
          found = true;
        }
      }
      if (found || entry->NextEntryOffset == 0) break;
      offset += entry->NextEntryOffset;
    }
  }
  CloseHandle(listing);
  return found;
}

}  // namespace

bool FindFileRecursive(const std::wstring& folder, const std::string& name, std::wstring& result) {
  if (!FolderExists(folder)) return false;
  std::set<FolderId> entered;
  return Walk(folder, std::nullopt, Utf8ToWide(name), result, entered);
}
