// The RetroArch command line of a join, built from text that is already UTF-16.
#pragma once

#include <string>

struct RetroArchArgs {
  std::wstring retroarchPath;
  bool relayMode = false;  // the join named a relay: connect there, not to host
  std::wstring host;
  std::wstring relay;
  std::wstring port;
  std::wstring session;
  std::wstring nickname;
  std::wstring passwordFilePath;  // empty: no password fragment was written
  std::wstring corePath;          // empty: no core was asked for
  std::wstring gamePath;
};

// "RetroArch" --connect H --port P [--mitm-session S] --nick N [--appendconfig "F"]
// [--libretro "C"] "G". The paths go in double quotes as they stand; every value from the
// join is written bare when that keeps it one argument, and quoted by the Windows
// argument rules otherwise, so no value can add an argument or an option.
std::wstring BuildRetroArchCommandLine(const RetroArchArgs& args);
