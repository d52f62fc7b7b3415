// What a /join request does: start kovrin.exe with the join URI.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "join_limits.h"

// The launchers this listener started and has not yet seen end, and the joins it started
// lately. Owned by the server thread; the handles are closed when it goes.
struct LauncherStarts {
  LauncherStarts() = default;
  LauncherStarts(const LauncherStarts&) = delete;
  LauncherStarts& operator=(const LauncherStarts&) = delete;
  ~LauncherStarts();

  std::vector<HANDLE> running;
  RecentJoins recent;
};

// Starts the kovrin.exe beside this program with "zelv://join?" + query and does not wait
// for it. True when it was started, now or for the same join within the last 5 s; false
// (after its log line) when too many run already or the process could not be created.
bool StartLauncher(LauncherStarts& launchers, std::string_view query);
