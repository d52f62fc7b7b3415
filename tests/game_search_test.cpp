#include "game_search.h"

#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
