#include "file_system.h"

#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
