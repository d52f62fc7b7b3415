// Runs the real kovrin.exe in fresh base folders, with a stand-in for RetroArch that
// records its working folder and its arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "support/join_folder_win32.h"
#include "support/process_win32.h"
#include "support/test_files_win32.h"

namespace {

class LauncherRunTest : public testing::Test {
 protected:
  void SetUp() override { MakeBase(L"run"); }
  void TearDown() override { RemoveTree(base_); }

  void MakeBase(const std::wstring& name) {
    const JoinFolder folder = MakeJoinFolder(name);
    base_ = folder.base;
    ra_ = folder.ra;
  }

  void WriteConfig(const std::string& text) { WriteBytes(base_ + L"\\launcher-config.json", text); }

  unsigned long Run(const std::vector<std::wstring>& args) {
    const ProcessResult result = RunProcess(MakeCommandLine(KovrinPath(), args), base_);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    return result.exitCode;
  }
  unsigned long Join(const std::string& query) { return Run({Widen("zelv://join?" + query)}); }

  std::vector<std::string> Log() { return ReadLogMessages(base_); }
  std::string LastLogLine() {
    const std::vector<std::string> log = Log();
    return log.empty() ? std::string() : log.back();
  }

  std::vector<std::wstring> StandinFiles() { return StandinRecordFiles(ra_); }
  StandinRecord Standin() { return WaitForStandin(ra_); }

  std::string Base() { return Narrow(base_); }
  std::string GamePath() { return Base() + "\\games\\gb\\Puzzle Game.gb"; }
  std::string CorePath() { return Base() + "\\cores\\examplecore_libretro.dll"; }
  std::string RetroArch() { return Narrow(ra_) + "\\retroarch.exe"; }

  std::wstring base_;
  std::wstring ra_;
};

TEST_F(LauncherRunTest, NoArgumentReadsTheConfigurationFirst) {
  EXPECT_EQ(Run({}), 1u);
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], "Launcher started");
  EXPECT_EQ(log[1], "argv[0]: " + Narrow(KovrinPath()));
  EXPECT_EQ(log[2], "CONFIG PATH: " + Base() + "\\launcher-config.json");
  EXPECT_EQ(log[3], "RAW CONFIG START");
  EXPECT_EQ(log[4], "{");
  EXPECT_EQ(log[log.size() - 2], "RAW CONFIG END");
  EXPECT_EQ(log.back(), "ARGS: insufficient arguments");
}

TEST_F(LauncherRunTest, ConfigurationFailuresComeBeforeTheArgumentCheck) {
  DeleteFileW((base_ + L"\\launcher-config.json").c_str());
  EXPECT_EQ(Run({}), 1u);
  EXPECT_EQ(LastLogLine(), "READ ERROR: config not found");

  CreateDirectoryW((base_ + L"\\launcher-config.json").c_str(), nullptr);
  EXPECT_EQ(Join("game=x"), 1u);
  EXPECT_EQ(LastLogLine(), "READ ERROR: config not found");
  RemoveDirectoryW((base_ + L"\\launcher-config.json").c_str());

  for (const char* text : {"", R"({"retroarchPath": "a", "coresPath": "b"})",
                           R"({"retroarchPath": "./", "coresPath": "b", "gamesPath": "c"})"}) {
    WriteConfig(text);
    EXPECT_EQ(Join("game=x"), 1u);
    EXPECT_EQ(LastLogLine(), "CONFIG PARSE ERROR: missing key") << text;
  }
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "ARGS: insufficient arguments"), 0);
}

TEST_F(LauncherRunTest, ConfigurationDumpIsTheFileBetweenMarkers) {
  WriteConfig("{\r\n  \"retroarchPath\": \"" + RetroArch() +
              "\",\r\n  \"coresPath\": \"cores\",\r\n  \"gamesPath\": \"games\"\r\n}");
  EXPECT_EQ(Join("game=Puzzle Game.gb"), 0u);
  const std::vector<std::string> log = Log();
  const auto start = std::find(log.begin(), log.end(), "RAW CONFIG START");
  ASSERT_NE(start, log.end());
  EXPECT_EQ(*(start + 1), "{");
  EXPECT_EQ(*(start + 2), "  \"retroarchPath\": \"" + RetroArch() + "\",");
  EXPECT_EQ(*(start + 5), "}");
  EXPECT_EQ(*(start + 6), "RAW CONFIG END");
}

TEST_F(LauncherRunTest, OutcomesEndWithTheirLineAndExitCode) {
  struct Case {
    std::string query;
    std::string lastLine;
  };
  const Case cases[] = {
      {"game=Puzzle%20Game.gb&core=missing", "Core not found: " + Base() + "\\cores\\missing_libretro.dll"},
      {"core=missing", "Core not found: " + Base() + "\\cores\\missing_libretro.dll"},
      {"core=examplecore", "Game not specified"},
      {"", "Game not specified"},
      {"game=puzzle%20game.gb", "Game not found: puzzle game.gb"},
      {"game=gb%5CPuzzle%20Game.gb", "Game not found: gb\\Puzzle Game.gb"},
      // A decoded value cannot start a line of its own, a forged success line least of all.
      {"game=x%0A%5B2026-01-31T18%3A04%3A05Z%5D%20RetroArch%20launched%20successfully.",
       "Game not found: x\\n[2026-01-31T18:04:05Z] RetroArch launched successfully."},
      {"core=ex%0D%07&game=Puzzle%20Game.gb", "Core not found: " + Base() + "\\cores\\ex\\r\\x07_libretro.dll"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Join(c.query), 1u) << c.query;
    EXPECT_EQ(LastLogLine(), c.lastLine) << c.query;
  }
  EXPECT_EQ(Run({L"http://join?game=Puzzle%20Game.gb"}), 1u);
  EXPECT_EQ(LastLogLine(), "Invalid URI scheme.");
  EXPECT_TRUE(StandinFiles().empty());
}

TEST_F(LauncherRunTest, CoreFolderNamedLikeTheCoreIsNotACore) {
  CreateDirectoryW((base_ + L"\\cores\\dir_libretro.dll").c_str(), nullptr);
  EXPECT_EQ(Join("core=dir&game=Puzzle%20Game.gb"), 1u);
  EXPECT_EQ(LastLogLine(), "Core not found: " + Base() + "\\cores\\dir_libretro.dll");
}

TEST_F(LauncherRunTest, CoreNamesThatLeaveTheCoresFolderAreRefused) {
  // A core one folder up exists, so only the name check can stop these.
  WriteBytes(base_ + L"\\evil_libretro.dll", "evil");
  struct Case {
    const char* encoded;
    std::string decoded;
  };
  for (const Case& c : {Case{"..%5Cevil", "..\\evil"}, Case{"../evil", "../evil"},
                        Case{"C:evil", "C:evil"}, Case{"examplecore%00", "examplecore\\x00"}}) {
    EXPECT_EQ(Join(std::string("core=") + c.encoded + "&game=Puzzle%20Game.gb"), 1u) << c.encoded;
    EXPECT_EQ(LastLogLine(), "Invalid core name: " + c.decoded) << c.encoded;
  }
  EXPECT_TRUE(StandinFiles().empty());
}

TEST_F(LauncherRunTest, DirectJoinStartsRetroArchInItsFolder) {
  const std::wstring uri = L"zelv://join?host=192.0.2.7&core=examplecore&game=Puzzle%20Game.gb";
  EXPECT_EQ(Run({uri, L"extra", L"caf\x00e9"}), 0u);
  const std::string commandLine = "\"" + RetroArch() + "\" --connect 192.0.2.7 --port 55435 --nick Player" +
                                  " --libretro \"" + CorePath() + "\" \"" + GamePath() + "\"";
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "Launcher started");
  EXPECT_EQ(log[2], "argv[1]: " + Narrow(uri));
  EXPECT_EQ(log[3], "argv[2]: extra");
  EXPECT_EQ(log[4], "argv[3]: caf\xC3\xA9");
  EXPECT_EQ(log[5], "CONFIG PATH: " + Base() + "\\launcher-config.json");
  EXPECT_EQ(log[log.size() - 3], "ARGS: " + Narrow(uri));
  EXPECT_EQ(log[log.size() - 2], "Launching RetroArch with args: " + commandLine);
  EXPECT_EQ(log.back(), "RetroArch launched successfully.");

  const StandinRecord standin = Standin();
  EXPECT_EQ(standin.cwd, Narrow(ra_));
  EXPECT_EQ(standin.commandLine, commandLine);
  EXPECT_EQ(standin.argv, (std::vector<std::string>{RetroArch(), "--connect", "192.0.2.7", "--port",
                                                    "55435", "--nick", "Player", "--libretro",
                                                    CorePath(), GamePath()}));
  EXPECT_FALSE(PathExists(base_ + L"\\netplay-pass.cfg"));
}

TEST_F(LauncherRunTest, RelayJoinUsesTheRelayAndSession) {
  EXPECT_EQ(Join("host=ignored&relay=relay.example&session=S1&port=1234&nickname=Big+Boss%21"
                 "&game=Puzzle%20Game.gb"),
            0u);
  EXPECT_EQ(Standin().argv,
            (std::vector<std::string>{RetroArch(), "--connect", "relay.example|1234|S1", "--port", "1234",
                                      "--nick", "Big Boss!", GamePath()}));

  // RetroArch would split a '|' in the session into the wrong place: nothing starts.
  const size_t started = StandinFiles().size();
  EXPECT_EQ(Join("relay=r&session=S%7C1&password=pw&game=Puzzle%20Game.gb"), 1u);
  EXPECT_EQ(LastLogLine(), "Relay join refused: relay, port or session holds '|'");
  EXPECT_EQ(StandinFiles().size(), started);
  EXPECT_FALSE(PathExists(base_ + L"\\netplay-pass.cfg"));
}

TEST_F(LauncherRunTest, HostileValuesStayOneArgumentEach) {
  EXPECT_EQ(Join("host=h%22%20--libretro%20%22C:%5Cevil.dll&port=1%202&nickname=a%5C%22b%5C"
                 "&game=Puzzle%20Game.gb"),
            0u);
  EXPECT_EQ(Standin().argv,
            (std::vector<std::string>{RetroArch(), "--connect", "h\" --libretro \"C:\\evil.dll", "--port",
                                      "1 2", "--nick", "a\\\"b\\", GamePath()}));
}

TEST_F(LauncherRunTest, PasswordGoesIntoTheFragmentFileOnly) {
  EXPECT_EQ(Join("host=h&password=s3cret%20pw&game=Puzzle%20Game.gb"), 0u);
  const std::wstring fragment = base_ + L"\\netplay-pass.cfg";
  EXPECT_EQ(ReadBytes(fragment), "netplay_password = \"s3cret pw\"\r\n");
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log[log.size() - 3], "Wrote temporary netplay-pass.cfg with password.");
  EXPECT_EQ(log[log.size() - 2].find("s3cret"), std::string::npos);
  EXPECT_EQ(Standin().argv,
            (std::vector<std::string>{RetroArch(), "--connect", "h", "--port", "55435", "--nick", "Player",
                                      "--appendconfig", Base() + "\\netplay-pass.cfg", GamePath()}));

  EXPECT_EQ(Join("host=h&password=other&game=Puzzle%20Game.gb"), 0u);
  EXPECT_EQ(ReadBytes(fragment), "netplay_password = \"other\"\r\n");
  EXPECT_EQ(Join("host=h&game=Puzzle%20Game.gb"), 0u);  // no password: file left as it is
  EXPECT_EQ(ReadBytes(fragment), "netplay_password = \"other\"\r\n");
}

TEST_F(LauncherRunTest, PasswordsTheFragmentCannotHoldAreNotWritten) {
  WriteBytes(base_ + L"\\netplay-pass.cfg", "earlier");
  for (const char* password : {"a%22b", "a%0Anetplay_nickname%20%3D%20%22x", "a%0Db", "a%00b"}) {
    EXPECT_EQ(Join(std::string("password=") + password + "&game=Puzzle%20Game.gb"), 0u) << password;
    const std::vector<std::string> log = Log();
    EXPECT_EQ(log[log.size() - 3], "Password not written: it holds a quote or a line break");
    EXPECT_EQ(log[log.size() - 2].find("--appendconfig"), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(base_ + L"\\netplay-pass.cfg"), "earlier");
}

TEST_F(LauncherRunTest, MissingRetroArchIsAFailedStart) {
  DeleteFileW((ra_ + L"\\retroarch.exe").c_str());
  EXPECT_EQ(Join("game=Puzzle%20Game.gb"), 1u);
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log[log.size() - 2].rfind("Launching RetroArch with args: \"" + RetroArch() + "\"", 0), 0u);
  EXPECT_EQ(log.back(), "Failed to launch RetroArch: GetLastError=2");
}

TEST_F(LauncherRunTest, DrivePathsWithForwardSlashesAreAbsolute) {
  std::string forward = RetroArch();
  std::replace(forward.begin(), forward.end(), '\\', '/');
  WriteConfig(R"({"retroarchPath": ")" + forward + R"(", "coresPath": "cores", "gamesPath": "games"})");
  EXPECT_EQ(Join("game=Puzzle%20Game.gb"), 0u);
  EXPECT_EQ(Standin().argv.front(), forward);
}

TEST_F(LauncherRunTest, StrictJsonBackslashesStayDoubled) {
  std::string doubled;
  for (char c : RetroArch()) doubled += (c == '\\') ? std::string("\\\\") : std::string(1, c);
  WriteConfig(R"({"retroarchPath": ")" + doubled + R"(", "coresPath": "cores", "gamesPath": "games"})");
  EXPECT_EQ(Join("game=Puzzle%20Game.gb"), 0u);
  const std::vector<std::string> log = Log();
  EXPECT_EQ(log[log.size() - 2].rfind("Launching RetroArch with args: \"" + doubled + "\"", 0), 0u);
}

class LauncherNonAsciiBaseTest : public LauncherRunTest {
 protected:
  void SetUp() override { MakeBase(L"caf\x00e9-\x65e5\x672c"); }
};

TEST_F(LauncherNonAsciiBaseTest, ConfigurationAndPasswordFileWork) {
  EXPECT_EQ(Join("password=pw&game=Puzzle%20Game.gb"), 0u);
  EXPECT_EQ(ReadBytes(base_ + L"\\netplay-pass.cfg"), "netplay_password = \"pw\"\r\n");
  EXPECT_EQ(Standin().argv.at(6), Base() + "\\netplay-pass.cfg");
}

TEST_F(LauncherRunTest, ConcurrentLaunchersLoseNoLogLine) {
  constexpr int kProcesses = 8;
  constexpr int kExtraArgs = 150;
  std::vector<std::thread> runners;
  for (int p = 0; p < kProcesses; ++p) {
    runners.emplace_back([this, p] {
      std::vector<std::wstring> args;
      for (int i = 0; i < kExtraArgs; ++i) args.push_back(L"p" + std::to_wstring(p) + L"-" + std::to_wstring(i));
      RunProcess(MakeCommandLine(KovrinPath(), args), base_, 60000);
    });
  }
  for (std::thread& runner : runners) runner.join();
  const std::vector<std::string> log = Log();
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kExtraArgs; ++i) {
      const std::string expected = "argv[" + std::to_string(i + 1) + "]: p" + std::to_string(p) + "-" +
                                   std::to_string(i);
      EXPECT_EQ(std::count(log.begin(), log.end(), expected), 1) << expected;
    }
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), "Launcher started"), kProcesses);
}

}  // namespace
