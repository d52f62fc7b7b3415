#include "game_search.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "file_system_testing.h"
#include "game_search_testing.h"
#include "support/call_fakes_win32.h"
#include "support/process_win32.h"
#include "support/test_files_win32.h"

namespace {

class GameSearchTest : public testing::Test {
 protected:
  void SetUp() override { games_ = MakeTestFolder(L"games"); }
  void TearDown() override { RemoveTree(games_); }

  void MakeFolder(const std::wstring& relative) {
    CreateDirectoryW((games_ + L"\\" + relative).c_str(), nullptr);
  }
  void MakeFile(const std::wstring& relative) { WriteBytes(games_ + L"\\" + relative, "rom"); }

  // The names of a folder's entries in the order the platform lists them.
  std::vector<std::wstring> ListingOrder(const std::wstring& relative) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW((games_ + L"\\" + relative + L"\\*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(entry.cFileName);
    while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return names;
  }

  std::wstring games_;
};

TEST_F(GameSearchTest, FindsAFileInASubfolder) {
  MakeFolder(L"console");
  MakeFile(L"console\\Hero.sfc");
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_, "Hero.sfc", found));
  EXPECT_EQ(found, games_ + L"\\console\\Hero.sfc");
}

TEST_F(GameSearchTest, NamesMatchExactlyAndOnlyFiles) {
  MakeFolder(L"console");
  MakeFile(L"console\\Hero.sfc");
  std::wstring found = L"untouched";
  for (const char* name : {"hero.sfc", "console\\Hero.sfc", "console", "Hero", ".", ".."}) {
    EXPECT_FALSE(FindFileRecursive(games_, name, found)) << name;
  }
  EXPECT_FALSE(FindFileRecursive(games_ + L"\\missing", "Hero.sfc", found));
  EXPECT_FALSE(FindFileRecursive(games_ + L"\\console\\Hero.sfc", "Hero.sfc", found));
  EXPECT_EQ(found, L"untouched");
}

TEST_F(GameSearchTest, NonAsciiNames) {
  MakeFolder(L"\x65e5\x672c");
  MakeFile(L"\x65e5\x672c\\Caf\x00e9 Game.gb");
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_, "Caf\xC3\xA9 Game.gb", found));
  EXPECT_EQ(found, games_ + L"\\\x65e5\x672c\\Caf\x00e9 Game.gb");
}

TEST_F(GameSearchTest, FirstMatchInDepthFirstListingOrderWins) {
  MakeFolder(L"A");
  MakeFile(L"A\\x.zip");
  MakeFile(L"x.zip");
  MakeFolder(L"B");
  MakeFile(L"B\\x.zip");
  // Whichever of A, B and x.zip the listing returns first decides the result.
  std::wstring expected;
  for (const std::wstring& name : ListingOrder(L"")) {
    if (name == L"A" || name == L"B") {
      expected = games_ + L"\\" + name + L"\\x.zip";
      break;
    }
    if (name == L"x.zip") {
      expected = games_ + L"\\x.zip";
      break;
    }
  }
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_, "x.zip", found));
  EXPECT_EQ(found, expected);
}

TEST_F(GameSearchTest, AFolderNamedLikeTheGameIsSearchedNotMatched) {
  MakeFolder(L"x.zip");
  MakeFile(L"x.zip\\x.zip");
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_, "x.zip", found));
  EXPECT_EQ(found, games_ + L"\\x.zip\\x.zip");
}

TEST_F(GameSearchTest, DeepTreeIsWalkedToTheBottom) {
  std::wstring relative = L"d";
  for (int depth = 0; depth < 200; ++depth) {
    MakeFolder(relative);
    relative += L"\\d";
  }
  MakeFile(relative.substr(0, relative.size() - 2) + L"\\bottom.gb");
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_, "bottom.gb", found));
  EXPECT_EQ(found, games_ + L"\\" + relative.substr(0, relative.size() - 2) + L"\\bottom.gb");
}

TEST_F(GameSearchTest, FolderEndingInSeparatorGetsNoSecondOne) {
  MakeFile(L"g.gb");
  std::wstring found;
  ASSERT_TRUE(FindFileRecursive(games_ + L"\\", "g.gb", found));
  EXPECT_EQ(found, games_ + L"\\g.gb");
}

// Two links back to ancestors make a walk without a guard endless: each level has two
// ways up, so the number of paths grows without bound before Linux's link limit.
TEST_F(GameSearchTest, LinkCyclesEndTheWalk) {
  MakeFolder(L"a");
  MakeFolder(L"a\\b");
  ASSERT_TRUE(StartUnixCommand(L"ln -s .. up1", games_ + L"\\a\\b"));
  ASSERT_TRUE(StartUnixCommand(L"ln -s ../.. up2", games_ + L"\\a\\b"));
  ASSERT_TRUE(WaitUntil([&] {
    return PathExists(games_ + L"\\a\\b\\up1") && PathExists(games_ + L"\\a\\b\\up2");
  }));
  std::wstring found;
  EXPECT_FALSE(FindFileRecursive(games_, "absent.gb", found));

  MakeFile(L"a\\b\\deep.gb");
  ASSERT_TRUE(FindFileRecursive(games_, "deep.gb", found));
  EXPECT_EQ(found.substr(found.size() - 8), L"\\deep.gb");
  // Links to folders are Unix links here; Unix removes them, RemoveTree keeps to the rest.
  StartUnixCommand(L"rm -f up1 up2", games_ + L"\\a\\b");
  WaitUntil([&] { return !PathExists(games_ + L"\\a\\b\\up1") && !PathExists(games_ + L"\\a\\b\\up2"); });
}

// Faults of network, cloud and virtual file systems that Wine never shows.
enum class Fault { IdsZero, ListingRefused, ListingFailsAfterFirstBatch, OneIdForAll };
Fault g_fault;

BOOL WINAPI FaultyInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID out, DWORD size) {
  const bool listing = kind == FileIdBothDirectoryInfo || kind == FileIdBothDirectoryRestartInfo;
  if (listing && (g_fault == Fault::ListingRefused ||
                  (g_fault == Fault::ListingFailsAfterFirstBatch && kind == FileIdBothDirectoryInfo))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!GetFileInformationByHandleEx(file, kind, out, size)) return FALSE;
  if (kind == FileIdInfo && g_fault == Fault::IdsZero) *static_cast<FILE_ID_INFO*>(out) = {};
  int listed = 0;
  for (auto* entry = static_cast<FILE_ID_BOTH_DIR_INFO*>(out); listing;
       entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<char*>(entry) + entry->NextEntryOffset)) {
    if (g_fault == Fault::IdsZero) entry->FileId.QuadPart = 0;
    if (g_fault == Fault::OneIdForAll) entry->FileId.QuadPart = 42;
    if (g_fault == Fault::ListingFailsAfterFirstBatch && ++listed == 3) entry->NextEntryOffset = 0;
    if (entry->NextEntryOffset == 0) break;
  }
  return TRUE;
}

BOOL WINAPI FaultyIdentity(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
  const BOOL got = GetFileInformationByHandle(file, info);
  if (g_fault == Fault::IdsZero) info->dwVolumeSerialNumber = info->nFileIndexHigh = info->nFileIndexLow = 0;
  return got;
}

// A walk without cycles opens each folder once: a second opening means an entry met twice.
std::map<std::wstring, int> g_opened;

HANDLE WINAPI CountingCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
  ++g_opened[path];
  return CreateFileRefusingLongPaths(path, access, share, security, disposition, flags, templateFile);
}

// Every row also refuses the normal form of paths of MAX_PATH or more, as Windows does.
TEST_F(GameSearchTest, FaultsOfOtherFileSystemsFindTheGameInTheSecondFolderAndEndInLinkCycles) {
  // Five levels of 50 characters: every folder from the third on lies beyond MAX_PATH.
  std::wstring top;
  for (wchar_t letter : {L'p', L'q', L'r', L's', L't'}) {
    top += (top.empty() ? L"" : L"\\") + std::wstring(50, letter);
    MakeFolder(top);
  }
  for (const wchar_t* name : {L"\\a", L"\\b"}) MakeFolder(top + name);
  std::vector<std::wstring> folders = ListingOrder(top);  // a and b in listing order
  std::erase_if(folders, [](const std::wstring& name) { return name == L"." || name == L".."; });
  ASSERT_EQ(folders.size(), 2u);
  MakeFile(top + L"\\" + folders[1] + L"\\game.gb");
  // Two links up (a walk without a guard never ends) and one out to another game. Wine
  // starts no program in a folder this deep, so ln runs in the games folder.
  const std::wstring outside = MakeTestFolder(L"outside");
  WriteBytes(outside + L"\\linked.gb", "rom");
  const std::wstring links = top + L"\\" + folders[0] + L"\\links";
  MakeFolder(links);
  std::wstring unixLinks = links;
  std::replace(unixLinks.begin(), unixLinks.end(), L'\\', L'/');
  const std::wstring outsideTarget = L"../../../../../../../../" + outside.substr(outside.rfind(L'\\') + 1);
  for (const auto& [target, name] : {std::pair<std::wstring, const wchar_t*>{L".", L"up1"}, {L"..", L"up2"},
                                     {outsideTarget, L"out"}}) {
    ASSERT_TRUE(StartUnixCommand(L"ln -s " + target + L" " + unixLinks + L"/" + name, games_));
  }
  const std::wstring linked = games_ + L"\\" + links + L"\\out\\linked.gb", up2 = games_ + L"\\" + links + L"\\up2";
  ASSERT_TRUE(WaitUntil([&] { return PathExists(linked) && PathExists(up2); }));
  const std::pair<const char*, Fault> faults[] = {
      // WebDAV, some cloud drives and SSHFS: file id 0 and volume serial 0 everywhere.
      {"every id 0", Fault::IdsZero},
      // Without the listing class: ERROR_INVALID_PARAMETER at once, or after a batch.
      {"listing refused at once", Fault::ListingRefused},
      {"listing fails after the first batch", Fault::ListingFailsAfterFirstBatch},
      // The 64-bit id is not guaranteed unique on ReFS.
      {"one id for all plain folders", Fault::OneIdForAll},
  };
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    const CallsGuard search(SetGameSearchCallsForTesting, {&CountingCreateFile, &FaultyInformation, &FaultyIdentity,
                                                           &FindFirstFileExRefusingLongPaths, &FindNextFileW});
    const CallsGuard files(SetFileSystemCallsForTesting,
                           {&GetFileAttributesRefusingLongPaths, &CreateFileRefusingLongPaths});
    g_fault = fault;
    g_opened.clear();
    std::wstring found;
    EXPECT_TRUE(FindFileRecursive(games_, "game.gb", found));
    EXPECT_EQ(found, games_ + L"\\" + top + L"\\" + folders[1] + L"\\game.gb");
    for (const auto& [path, times] : g_opened) EXPECT_EQ(times, 1) << Narrow(path);
    EXPECT_TRUE(FindFileRecursive(games_, "linked.gb", found));
    EXPECT_TRUE(found.ends_with(L"\\out\\linked.gb")) << Narrow(found);
    EXPECT_FALSE(FindFileRecursive(games_, "absent.gb", found));
  }
  StartUnixCommand(L"rm -f " + unixLinks + L"/up1 " + unixLinks + L"/up2 " + unixLinks + L"/out", games_);
  WaitUntil([&] { return !PathExists(linked) && !PathExists(up2); });
  RemoveTree(outside);
}

}  // namespace
