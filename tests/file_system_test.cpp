#include "file_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "file_system_testing.h"
#include "game_search_testing.h"
#include "launcher_run.h"
#include "support/call_fakes_win32.h"
#include "support/join_folder_win32.h"
#include "support/test_files_win32.h"

namespace {

class FileSystemTest : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeTestFolder(L"fs"); }
  void TearDown() override { RemoveTree(folder_); }
  std::wstring folder_;
};

TEST_F(FileSystemTest, FileAndFolderAreToldApart) {
  WriteBytes(folder_ + L"\\f.txt", "x");
  CreateDirectoryW((folder_ + L"\\d").c_str(), nullptr);
  EXPECT_TRUE(FileExists(folder_ + L"\\f.txt"));
  EXPECT_FALSE(FolderExists(folder_ + L"\\f.txt"));
  EXPECT_TRUE(FolderExists(folder_ + L"\\d"));
  EXPECT_FALSE(FileExists(folder_ + L"\\d"));
  EXPECT_FALSE(FileExists(folder_ + L"\\missing"));
  EXPECT_FALSE(FolderExists(folder_ + L"\\missing"));
  EXPECT_FALSE(FileExists(L""));
  EXPECT_FALSE(FolderExists(L"\\\\?\\bad\\*path"));
}

TEST_F(FileSystemTest, ReadWholeFileGivesBytesOrNothing) {
  const std::string bytes("a\r\nb\0c\xFF", 7);
  WriteBytes(folder_ + L"\\f.bin", bytes);
  EXPECT_EQ(ReadWholeFile(folder_ + L"\\f.bin"), bytes);
  EXPECT_EQ(ReadWholeFile(folder_ + L"\\missing"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(folder_), std::nullopt);  // a folder is no file
}

TEST_F(FileSystemTest, WriteWholeFileTruncates) {
  const std::wstring path = folder_ + L"\\w.txt";
  EXPECT_TRUE(WriteWholeFile(path, "a long first content"));
  EXPECT_TRUE(WriteWholeFile(path, "short"));
  EXPECT_EQ(ReadBytes(path), "short");
  EXPECT_FALSE(WriteWholeFile(folder_ + L"\\no-such-folder\\w.txt", "x"));
}

TEST_F(FileSystemTest, CurrentFolderIsReadWholeBeyondMaxPath) {
  std::wstring deep = folder_;
  while (deep.size() < 400) {
    deep += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  wchar_t saved[32768];
  GetCurrentDirectoryW(32768, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));
  const std::wstring read = CurrentFolder();
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(read, deep);
}

// A whole run in a base folder beyond MAX_PATH, with the game beyond 300 characters, where
// the file calls refuse the normal form of such paths as Windows does (Wine takes any length).
// RetroArch lies in a short folder: no program starts in a working folder that long.
TEST_F(FileSystemTest, LauncherRunsInABaseFolderBeyondMaxPath) {
  const CallsGuard files(SetFileSystemCallsForTesting,
                         {&GetFileAttributesRefusingLongPaths, &CreateFileRefusingLongPaths});
  const CallsGuard search(SetGameSearchCallsForTesting,
                          {&CreateFileRefusingLongPaths, &GetFileInformationByHandleEx, &GetFileInformationByHandle,
                           &FindFirstFileExRefusingLongPaths, &FindNextFileW});
  const std::wstring base = MakeJoinFolder(std::wstring(225, L'b')).base;
  ASSERT_GT(base.size(), 260u);
  CopyFileW((ThisProgramFolder() + L"\\retroarch_standin.exe").c_str(), (folder_ + L"\\retroarch.exe").c_str(), FALSE);
  // The extended form is taken literally: '/' and ".." must be resolved before it is made.
  WriteBytes(base + L"\\launcher-config.json", "{\"retroarchPath\": \"" + Narrow(folder_) +
                                                   "\\retroarch.exe\", \"coresPath\": \"cores/\", "
                                                   "\"gamesPath\": \"x/../games\"}");
  wchar_t saved[32768];
  GetCurrentDirectoryW(32768, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(base.c_str()));
  const int exitCode = RunLauncher({L"kovrin.exe", L"zelv://join?game=Puzzle%20Game.gb&core=examplecore&password=pw"});
  SetCurrentDirectoryW(saved);

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(ReadBytes(base + L"\\netplay-pass.cfg"), "netplay_password = \"pw\"\r\n");
  // RetroArch and the log get the normal form.
  const StandinRecord standin = WaitForStandin(folder_);
  EXPECT_EQ(standin.cwd, Narrow(folder_));
  ASSERT_FALSE(standin.argv.empty());
  EXPECT_EQ(standin.argv.back(), Narrow(base) + "\\x/../games\\gb\\Puzzle Game.gb");
  EXPECT_EQ(ReadLogMessages(base).back(), "RetroArch launched successfully.");
  RemoveTree(base);
}
}  // namespace
