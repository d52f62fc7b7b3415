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
// [--libretro "C"] "G". The RetroArch path goes in double quotes as it stands; the other
// paths are always quoted by the Windows argument rules, so a trailing backslash stays in
// its path; every value from the join is written bare when that keeps it one argument,
// and quoted by those rules otherwise, so no value can add an argument or an option.
std::wstring BuildRetroArchCommandLine(const RetroArchArgs& args);
