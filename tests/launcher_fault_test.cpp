// The launcher when the machine around it misbehaves: a log it cannot write, a folder it
// cannot write to, a huge games tree with link cycles, and a run killed halfway.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "support/join_folder_win32.h"
#include "support/process_win32.h"
#include "support/test_files_win32.h"

namespace {

class LauncherFaultTest : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeJoinFolder(L"fault"); }
  void TearDown() override {
    // Unix links to folders are removed by Unix; RemoveTree then takes the rest.
    if (!linkFolder_.empty()) {
      StartUnixCommand(L"rm -f up top", linkFolder_);
      WaitUntil([&] { return !PathExists(linkFolder_ + L"\\up") && !PathExists(linkFolder_ + L"\\top"); });
    }
    RemoveTree(folder_.base);
  }

  ProcessResult Join(const std::string& query, unsigned long timeoutMs = 60000) {
    return RunProcess(MakeCommandLine(KovrinPath(), {Widen("zelv://join?" + query)}), folder_.base, timeoutMs);
  }

  // 100 folders of 100 folders each, and two links back up at the bottom of one of them.
  void MakeBigGamesTree() {
    const std::wstring games = folder_.base + L"\\games";
    for (int a = 0; a < 100; ++a) {
      const std::wstring outer = games + L"\\set" + std::to_wstring(a);
      CreateDirectoryW(outer.c_str(), nullptr);
      for (int b = 0; b < 100; ++b) CreateDirectoryW((outer + L"\\disc" + std::to_wstring(b)).c_str(), nullptr);
    }
    const std::wstring bottom = games + L"\\set50\\disc50";
    linkFolder_ = bottom;
    ASSERT_TRUE(StartUnixCommand(L"ln -s .. up", bottom));
    ASSERT_TRUE(StartUnixCommand(L"ln -s ../.. top", bottom));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(bottom + L"\\up") && PathExists(bottom + L"\\top"); }));
  }

  JoinFolder folder_;
  std::wstring linkFolder_;
};

TEST_F(LauncherFaultTest, UnwritableLogChangesNothingElse) {
  // A folder in the log's place makes every open fail, as a read-only file would for a
  // normal user (root ignores the read-only bit under Wine, so the bit cannot show it).
  CreateDirectoryW((folder_.base + L"\\launcher-log.txt").c_str(), nullptr);
  const ProcessResult result = Join("game=Puzzle%20Game.gb&password=pw");
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(WaitForStandin(folder_.ra).argv.size(), 8u);
  EXPECT_EQ(ReadBytes(folder_.base + L"\\netplay-pass.cfg"), "netplay_password = \"pw\"\r\n");
}

TEST_F(LauncherFaultTest, LogHeldByAnotherProgramWithoutSharing) {
  HANDLE holder = CreateFileW((folder_.base + L"\\launcher-log.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const ULONGLONG start = GetTickCount64();
  const ProcessResult result = Join("game=Puzzle%20Game.gb");
  const ULONGLONG took = GetTickCount64() - start;
  CloseHandle(holder);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_FALSE(WaitForStandin(folder_.ra).argv.empty());
  EXPECT_LT(took, 5000u) << "lines that cannot be written must not stall the run";
  EXPECT_EQ(Join("game=Puzzle%20Game.gb").exitCode, 0u);
  EXPECT_EQ(ReadLogMessages(folder_.base).back(), "RetroArch launched successfully.");
}

TEST_F(LauncherFaultTest, PasswordFileThatCannotBeCreatedStillStartsRetroArch) {
  CreateDirectoryW((folder_.base + L"\\netplay-pass.cfg").c_str(), nullptr);
  EXPECT_EQ(Join("game=Puzzle%20Game.gb&password=pw").exitCode, 0u);
  const std::vector<std::string> log = ReadLogMessages(folder_.base);
  EXPECT_EQ(log[log.size() - 3], "Failed to write netplay-pass.cfg");
  EXPECT_EQ(WaitForStandin(folder_.ra).argv.size(), 6u);  // no --appendconfig
}

TEST_F(LauncherFaultTest, HugeTreeWithLinkCyclesEnds) {
  MakeBigGamesTree();
  const ULONGLONG start = GetTickCount64();
  const ProcessResult absent = Join("game=absent.gb");
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_FALSE(absent.timedOut);
  EXPECT_EQ(absent.exitCode, 1u);
  EXPECT_EQ(ReadLogMessages(folder_.base).back(), "Game not found: absent.gb");
  std::printf("search of 10,000 folders with two link cycles, game absent: %llu ms\n", took);

  WriteBytes(folder_.base + L"\\games\\set99\\disc99\\Deep.gb", "rom");
  EXPECT_EQ(Join("game=Deep.gb").exitCode, 0u);
}

TEST_F(LauncherFaultTest, RunKilledHalfwayLeavesAReadableLog) {
  MakeBigGamesTree();
  std::wstring commandLine = MakeCommandLine(KovrinPath(), {L"zelv://join?game=absent.gb"});
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder_.base.c_str(), &startup, &process));
  // Killed while it walks the tree, after its first lines.
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<std::string> log = ReadLogMessages(folder_.base);
    return !log.empty() && log.back().starts_with("ARGS: ");
  }));
  TerminateProcess(process.hProcess, 9);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  const std::regex stamped(R"(\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] .*)");
  const std::string killedLog = ReadBytes(folder_.base + L"\\launcher-log.txt");
  ASSERT_TRUE(killedLog.ends_with("\r\n"));
  EXPECT_TRUE(std::regex_match(SplitCrLfLines(killedLog).front(), stamped));

  EXPECT_EQ(Join("game=Puzzle%20Game.gb").exitCode, 0u);
  EXPECT_EQ(ReadLogMessages(folder_.base).back(), "RetroArch launched successfully.");
}

}  // namespace
