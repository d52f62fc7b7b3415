#include "log.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "log_testing.h"
#include "support/call_fakes_win32.h"
#include "support/test_files_win32.h"

namespace {

// Fakes for the writer's Win32 calls; plain functions, so their state is file-wide.
DWORD g_openError = 0;
int g_openFailuresLeft = 0;
int g_openCalls = 0;

HANDLE WINAPI CreateFileFailingFirst(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE templateFile) {
  ++g_openCalls;
  if (g_openFailuresLeft > 0) {
    --g_openFailuresLeft;
    SetLastError(g_openError);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(name, access, share, security, disposition, flags, templateFile);
}

// What some redirectors and third-party file systems answer to every lock request.
BOOL WINAPI LockFileExNotSupported(HANDLE, DWORD, DWORD, DWORD, DWORD, LPOVERLAPPED) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTestFolder(L"log");
    GetCurrentDirectoryW(32768, saved_);
    SetCurrentDirectoryW(folder_.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(saved_);
    RemoveTree(folder_);
  }
  std::string Content() { return ReadBytes(folder_ + L"\\launcher-log.txt"); }

  std::wstring folder_;
  wchar_t saved_[32768];
};

TEST_F(LogTest, CreatesTheFileAndWritesOneStampedLine) {
  WriteLog("hello");
  const std::string content = Content();
  EXPECT_TRUE(std::regex_match(content, std::regex(R"(\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] hello\r\n)")))
      << content;
}

TEST_F(LogTest, AppendsAndStoresLineFeedsAsCrLf) {
  WriteLog("first");
  WriteLog("");
  WriteLogKeepingLineBreaks("a\nb\nc");
  const std::vector<std::string> lines = SplitCrLfLines(Content());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(23), "first");
  EXPECT_EQ(lines[1].substr(22), " ");
  EXPECT_EQ(lines[2].substr(23), "a");
  EXPECT_EQ(lines[3], "b");
  EXPECT_EQ(lines[4], "c");
}

TEST_F(LogTest, TimestampIsUtc) {
  SYSTEMTIME before;
  GetSystemTime(&before);
  WriteLog("t");
  const std::string content = Content();
  char expectedHour[4];
  snprintf(expectedHour, sizeof expectedHour, "T%02d", before.wHour);
  // Unless the hour turned over between the two reads, the logged hour is the UTC hour.
  SYSTEMTIME after;
  GetSystemTime(&after);
  if (after.wHour == before.wHour) {
    EXPECT_EQ(content.substr(11, 3), expectedHour);
  }
  EXPECT_EQ(content[20], 'Z');
}

TEST_F(LogTest, FileHeldWithoutSharingDropsTheLineAndReturns) {
  HANDLE holder = CreateFileW((folder_ + L"\\launcher-log.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const ULONGLONG start = GetTickCount64();
  WriteLog("dropped");
  EXPECT_LT(GetTickCount64() - start, 500u);
  CloseHandle(holder);
  WriteLog("after");
  EXPECT_EQ(ReadLogMessages(folder_), std::vector<std::string>{"after"});
}

TEST_F(LogTest, OpenIsRetriedOnlyWhileTheFileIsBrieflyHeld) {
  struct Case {
    DWORD error;
    int failures;
    bool written;
    int maxCalls;
  };
  const Case cases[] = {
      {ERROR_SHARING_VIOLATION, 2, true, 3},     // a scanner's moment
      {ERROR_SHARING_VIOLATION, 1000, false, 10}, // held for good: a few tries, then dropped
      {ERROR_ACCESS_DENIED, 1, false, 1},         // a read-only file is not waited for
  };
  const CallsGuard fake(SetLogFileCallsForTesting, {.createFile = &CreateFileFailingFirst});
  for (const Case& c : cases) {
    g_openError = c.error;
    g_openFailuresLeft = c.failures;
    g_openCalls = 0;
    const size_t before = ReadLogMessages(folder_).size();
    WriteLog("held");
    EXPECT_EQ(ReadLogMessages(folder_).size(), before + (c.written ? 1 : 0)) << c.error << " x" << c.failures;
    EXPECT_LE(g_openCalls, c.maxCalls) << c.error << " x" << c.failures;
  }
}

TEST_F(LogTest, AFileSystemWithoutLocksCostsNoWaitPerLine) {
  const CallsGuard fake(SetLogFileCallsForTesting, {.lockFile = &LockFileExNotSupported});
  std::vector<std::string> expected;
  const ULONGLONG start = GetTickCount64();
  for (int i = 0; i < 20; ++i) {
    expected.push_back("line " + std::to_string(i));
    WriteLog(expected.back());
  }
  EXPECT_LT(GetTickCount64() - start, 500u);
  EXPECT_EQ(ReadLogMessages(folder_), expected);
}

TEST_F(LogTest, ReadersAreNotBlockedWhileALineIsWritten) {
  WriteLog("x");
  HANDLE reader = CreateFileW((folder_ + L"\\launcher-log.txt").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  WriteLog("y");
  char buffer[256];
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(reader, buffer, sizeof buffer, &got, nullptr));
  EXPECT_GT(got, 0u);
  CloseHandle(reader);
}

TEST_F(LogTest, ThreadsWritingAtOnceLoseNoLine) {
  constexpr int kThreads = 8;
  constexpr int kLines = 50;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) WriteLog("writer " + std::to_string(t) + " line " + std::to_string(i));
    });
  }
  for (std::thread& writer : writers) writer.join();
  const std::vector<std::string> messages = ReadLogMessages(folder_);
  ASSERT_EQ(messages.size(), static_cast<size_t>(kThreads * kLines));
  for (int t = 0; t < kThreads; ++t)
    for (int i = 0; i < kLines; ++i)
      EXPECT_EQ(std::count(messages.begin(), messages.end(),
                           "writer " + std::to_string(t) + " line " + std::to_string(i)), 1);
}

}  // namespace
