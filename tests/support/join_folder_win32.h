// A base folder laid out for a join: a configuration, a stand-in RetroArch, a core and a
// game, as a player's folder would hold them.
#pragma once

#include <string>
#include <vector>

struct JoinFolder {
  std::wstring base;  // holds launcher-config.json, and receives the log
  std::wstring ra;    // RA\retroarch.exe is the stand-in, which writes its records here
};

// base\RA\retroarch.exe, base\cores\examplecore_libretro.dll, base\games\gb\Puzzle Game.gb
// and a configuration naming them (RetroArch absolute, the folders relative).
JoinFolder MakeJoinFolder(const std::wstring& name);

// How the stand-in was started, from one of its records.
struct StandinRecord {
  std::string cwd;
  std::string commandLine;
  std::vector<std::string> argv;
};

std::vector<std::wstring> StandinRecordFiles(const std::wstring& raFolder);
StandinRecord ReadStandinRecord(const std::wstring& file);

// Waits (bounded) for the first record and reads it; empty when none came.
StandinRecord WaitForStandin(const std::wstring& raFolder, unsigned long timeoutMs = 10000);

std::wstring KovrinPath();    // build\bin\kovrin.exe
std::wstring ListenerPath();  // build\bin\ZelvListener.exe
