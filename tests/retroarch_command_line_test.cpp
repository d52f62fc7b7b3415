#include "retroarch_command_line.h"

#include <gtest/gtest.h>

#include "hostile_strings.h"
#include "support/windows_arg_split.h"

namespace {

RetroArchArgs ExampleArgs() {
  RetroArchArgs args;
  args.retroarchPath = L"D:\\Emu\\RetroArch\\retroarch.exe";
  args.host = L"192.0.2.7";
  args.port = L"55435";
  args.nickname = L"Player";
  args.passwordFilePath = L"D:\\Emu\\Launcher\\netplay-pass.cfg";
  args.corePath = L"D:\\Emu\\RetroArch\\cores\\examplecore_libretro.dll";
  args.gamePath = L"D:\\Games\\Example Game.sfc";
  return args;
}

TEST(BuildRetroArchCommandLineTest, DirectModeLine) {
  EXPECT_EQ(BuildRetroArchCommandLine(ExampleArgs()),
            L"\"D:\\Emu\\RetroArch\\retroarch.exe\" --connect 192.0.2.7 --port 55435 --nick Player"
            L" --appendconfig \"D:\\Emu\\Launcher\\netplay-pass.cfg\""
            L" --libretro \"D:\\Emu\\RetroArch\\cores\\examplecore_libretro.dll\""
            L" \"D:\\Games\\Example Game.sfc\"");
}

TEST(BuildRetroArchCommandLineTest, RelaySessionGoesIntoTheConnectValueAndHostIsIgnored) {
  RetroArchArgs args = ExampleArgs();
  args.relayMode = true;
  args.relay = L"R";
  args.session = L"S";
  EXPECT_EQ(BuildRetroArchCommandLine(args),
            L"\"D:\\Emu\\RetroArch\\retroarch.exe\" --connect R|55435|S --port 55435"
            L" --nick Player --appendconfig \"D:\\Emu\\Launcher\\netplay-pass.cfg\""
            L" --libretro \"D:\\Emu\\RetroArch\\cores\\examplecore_libretro.dll\""
            L" \"D:\\Games\\Example Game.sfc\"");
}

TEST(BuildRetroArchCommandLineTest, OptionalPiecesLeftOut) {
  RetroArchArgs args = ExampleArgs();
  args.host.clear();
  args.passwordFilePath.clear();
  args.corePath.clear();
  args.session = L"ignored in direct mode";
  EXPECT_EQ(BuildRetroArchCommandLine(args),
            L"\"D:\\Emu\\RetroArch\\retroarch.exe\" --port 55435 --nick Player"
            L" \"D:\\Games\\Example Game.sfc\"");

  args.relayMode = true;
  args.relay = L"0";
  args.session.clear();
  EXPECT_EQ(BuildRetroArchCommandLine(args),
            L"\"D:\\Emu\\RetroArch\\retroarch.exe\" --connect 0 --port 55435 --nick Player"
            L" \"D:\\Games\\Example Game.sfc\"");
}

// Whatever a join value holds, the line splits into exactly the intended arguments.
TEST(BuildRetroArchCommandLineTest, NoValueCanAddAnArgument) {
  for (const std::wstring& value : HostileArguments()) {
    for (bool relay : {false, true}) {
      RetroArchArgs args = ExampleArgs();
      args.relayMode = relay;
      args.host = L"h" + value;  // direct mode leaves an empty host out, so keep it non-empty
      args.relay = value;
      args.session = value;
      args.port = value;
      args.nickname = value;
      const std::vector<std::wstring> split = SplitWindowsCommandLine(BuildRetroArchCommandLine(args));
      // An empty session leaves the relay alone in the connect value.
      const std::wstring relayValue = value.empty() ? value : value + L'|' + value + L'|' + value;
      const std::vector<std::wstring> expected = {
          args.retroarchPath, L"--connect", relay ? relayValue : args.host, L"--port", value,
          L"--nick", value, L"--appendconfig", args.passwordFilePath, L"--libretro", args.corePath,
          args.gamePath};
      EXPECT_EQ(split, expected) << BuildRetroArchCommandLine(args);
    }
  }
}

// RetroArch splits relay|port|session at every '|', so none of the three may hold one.
TEST(BuildRetroArchCommandLineTest, BarInARelaySessionValueIsAmbiguous) {
  struct Case {
    bool relayMode;
    std::wstring relay, port, session, host;
    bool ambiguous;
  };
  const Case cases[] = {
      {true, L"r|1", L"55435", L"S", L"", true},
      {true, L"r", L"1|2", L"S", L"", true},
      {true, L"r", L"55435", L"|S", L"", true},
      {true, L"r", L"55435", L"S", L"h|x", false},  // host is not used in relay mode
      {true, L"r|1", L"55435", L"", L"", false},    // no session: the relay goes on alone
      {false, L"", L"1|2", L"S|", L"h|x", false},   // direct mode has no combined value
  };
  for (const Case& c : cases) {
    RetroArchArgs args = ExampleArgs();
    args.relayMode = c.relayMode;
    args.relay = c.relay;
    args.port = c.port;
    args.session = c.session;
    args.host = c.host;
    EXPECT_EQ(RelaySessionValueIsAmbiguous(args), c.ambiguous) << c.relay << L" " << c.port << L" " << c.session;
  }
}

// A backslash before a closing quote would escape it and run the path into what follows.
TEST(BuildRetroArchCommandLineTest, PathsEndingInBackslashesSplitBackWhole) {
  for (const std::wstring& tail : std::vector<std::wstring>{L"\\", L"\\\\", L"\\\\\\"}) {
    RetroArchArgs args = ExampleArgs();
    args.retroarchPath = L"D:\\Emu\\RetroArch" + tail;
    args.passwordFilePath = L"D:\\Emu\\Launcher" + tail;
    args.corePath = L"D:\\Emu\\cores" + tail;
    args.gamePath = L"D:\\Games" + tail;
    const std::vector<std::wstring> expected = {
        args.retroarchPath, L"--connect", L"192.0.2.7", L"--port", L"55435", L"--nick", L"Player",
        L"--appendconfig", args.passwordFilePath, L"--libretro", args.corePath, args.gamePath};
    EXPECT_EQ(SplitWindowsCommandLine(BuildRetroArchCommandLine(args)), expected)
        << BuildRetroArchCommandLine(args);
  }
}

}  // namespace
