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

// RetroArch splits relay|port|session at every '|' and drops empty pieces, so a '|' inside
// any of the three would shift the others into the wrong place: such a join cannot be sent.
bool RelaySessionValueIsAmbiguous(const RetroArchArgs& args);

// "RetroArch" --connect H --port P --nick N [--appendconfig "F"] [--libretro "C"] "G", where
// H is the host, the relay, or relay|port|session. The RetroArch path goes in double quotes
// as it stands; the other paths are always quoted by the Windows argument rules, so a
// trailing backslash stays in its path; every value from the join is written bare when that
// keeps it one argument, and quoted by those rules otherwise, so no value can add an
// argument or an option.
std::wstring BuildRetroArchCommandLine(const RetroArchArgs& args);
