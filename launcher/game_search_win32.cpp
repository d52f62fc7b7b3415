#include "game_search.h"

#include <windows.h>

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "file_system.h"
#include "game_search_testing.h"
#include "path_rules.h"
#include "text_convert.h"

namespace {

GameSearchCalls g_calls;

// A folder's identity: its volume and its file id, 128 bits wide where the file system has
// such ids. The same folder reached through a link has the same identity.
struct FolderId {
  std::uint32_t volume = 0;
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  auto operator<=>(const FolderId&) const = default;
};

// 0 means the file system has no ids (WebDAV, some cloud drives, SSHFS), all ones that this
// file has no unique one (MS-FSCC 2.1.9, "64-bit file ID"): neither identifies anything.
bool IsKnownFileId(std::uint64_t id) { return id != 0 && id != ~std::uint64_t{0}; }

std::optional<FolderId> ReadFolderId(HANDLE folder) {
  // The 64-bit id is not guaranteed unique on ReFS, whose ids are 128-bit; FileIdInfo gives
  // 0 where the file system has no 128-bit id (BY_HANDLE_FILE_INFORMATION, FILE_ID_INFORMATION).
  FILE_ID_INFO wide;
  if (g_calls.getFileInformationEx(folder, FileIdInfo, &wide, sizeof wide)) {
    FolderId id;
    // The low half of the serial is what GetFileInformationByHandle reports, and what the
    // listing's children inherit.
    id.volume = static_cast<std::uint32_t>(wide.VolumeSerialNumber);
    std::memcpy(&id.low, wide.FileId.Identifier, sizeof id.low);
    std::memcpy(&id.high, wide.FileId.Identifier + sizeof id.low, sizeof id.high);
    if (id.high != 0 || IsKnownFileId(id.low)) return id;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!g_calls.getFileInformation(folder, &info)) return std::nullopt;
  const std::uint64_t id = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  if (!IsKnownFileId(id)) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber, id, 0};
}

// Only a link can lead back to a folder already entered, so only folders reached through
// one are checked against those; a plain subfolder is always walked, whatever its id says.
enum class Reached { Top, Listing, Link };

struct Search {
  std::wstring wanted;
  std::wstring* result;
  std::set<FolderId> entered;
  // Set once a folder's handle listing failed at its first call: that file system lacks the
  // listing class, so the folders after it are listed by name at once.
  bool listByName = false;
};

struct Folder {
  std::wstring path;
  std::optional<FolderId> id;
  bool unknownLinkAbove;  // a link without a known identity lies on the way here
};

struct Entry {
  std::wstring_view name;
  DWORD attributes;
  std::uint64_t fileId;  // 0 when the listing gives none
};

bool Walk(Search& search, const std::wstring& path, std::optional<FolderId> id, Reached reached,
          bool unknownLinkAbove);

bool Visit(Search& search, const Folder& folder, const Entry& entry) {
  if (entry.name == L"." || entry.name == L"..") return false;
  if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
    const std::wstring path = JoinPath(folder.path, entry.name);
    if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      return Walk(search, path, std::nullopt, Reached::Link, folder.unknownLinkAbove);
    }
    std::optional<FolderId> id;
    if (folder.id && IsKnownFileId(entry.fileId)) id = FolderId{folder.id->volume, entry.fileId, 0};
    return Walk(search, path, id, Reached::Listing, folder.unknownLinkAbove);
  }
  if (entry.name != search.wanted) return false;
  *search.result = JoinPath(folder.path, entry.name);
  return true;
}

enum class Listed { Found, Complete, Failed };

// Lists the folder through its handle, in the same order as FindFirstFileW. The listing also
// gives each subfolder's id, so the cycle guard asks the file system only about the top
// folder and links. The names handled go into met, for a listing by name after a failure.
Listed ListByHandle(Search& search, const Folder& folder, HANDLE handle, std::vector<std::wstring>& met) {
  // On the heap: one buffer per level of a deep tree would not fit on the stack.
  std::vector<unsigned char> buffer(16384);
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!g_calls.getFileInformationEx(handle, request, buffer.data(), static_cast<DWORD>(buffer.size()))) {
      if (GetLastError() == ERROR_NO_MORE_FILES) return Listed::Complete;
      // The listing classes are served by each file system's driver (GetFileInformationByHandleEx):
      // network, cloud and virtual ones may lack them, or fail part-way.
      if (request == FileIdBothDirectoryRestartInfo) search.listByName = true;
      return Listed::Failed;
    }
    request = FileIdBothDirectoryInfo;
    for (size_t offset = 0;;) {
      const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + offset);
      const Entry entry{std::wstring_view(info->FileName, info->FileNameLength / sizeof(wchar_t)),
                        info->FileAttributes, static_cast<std::uint64_t>(info->FileId.QuadPart)};
      if (Visit(search, folder, entry)) return Listed::Found;
      met.emplace_back(entry.name);
      if (info->NextEntryOffset == 0) break;
      offset += info->NextEntryOffset;
    }
  }
}

// Lists the folder by name, which every file system serves, skipping the names the handle
// listing handled before it failed: no entry is met twice, and the order stays the listing's.
bool ListByName(Search& search, const Folder& folder, std::vector<std::wstring>& met) {
  std::sort(met.begin(), met.end());
  // On the heap, like the handle listing's buffer: deep trees recurse through here.
  const auto data = std::make_unique<WIN32_FIND_DATAW>();
  // Large batches save round trips on network drives.
  HANDLE listing = g_calls.findFirstFile(PathForFileCalls(JoinPath(folder.path, L"*")).c_str(),
                                         FindExInfoBasic, data.get(), FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
  if (listing == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    const std::wstring_view name = data->cFileName;
    if (std::binary_search(met.begin(), met.end(), name)) continue;
    found = Visit(search, folder, Entry{name, data->dwFileAttributes, 0});
  } while (!found && g_calls.findNextFile(listing, data.get()));
  FindClose(listing);
  return found;
}

bool Walk(Search& search, const std::wstring& path, std::optional<FolderId> id, Reached reached,
          bool unknownLinkAbove) {
  // A plain subfolder listed by name needs no handle: its listing gave no id to check.
  if (search.listByName && reached == Reached::Listing) {
    std::vector<std::wstring> none;
    return ListByName(search, Folder{path, std::nullopt, unknownLinkAbove}, none);
  }
  HANDLE handle = g_calls.createFile(PathForFileCalls(path).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (reached != Reached::Listing) id = ReadFolderId(handle);
  if (reached == Reached::Link) {
    // Without an identity there is no telling where a link leads: one such link is followed
    // on each path, a second could close a cycle.
    if (id ? search.entered.contains(*id) : unknownLinkAbove) {
      CloseHandle(handle);
      return false;
    }
    if (!id) unknownLinkAbove = true;
  }
  // A folder without a known identity is walked without being recorded.
  if (id) search.entered.insert(*id);

  const Folder folder{path, id, unknownLinkAbove};
  std::vector<std::wstring> met;
  const Listed listed = search.listByName ? Listed::Failed : ListByHandle(search, folder, handle, met);
  CloseHandle(handle);
  if (listed == Listed::Failed) return ListByName(search, folder, met);
  return listed == Listed::Found;
}

}  // namespace

GameSearchCalls SetGameSearchCallsForTesting(const GameSearchCalls& calls) {
  return std::exchange(g_calls, calls);
}

bool FindFileRecursive(const std::wstring& folder, const std::string& name, std::wstring& result) {
  if (!FolderExists(folder)) return false;
  Search search{Utf8ToWide(name), &result, {}};
  return Walk(search, folder, std::nullopt, Reached::Top, false);
}
