// One run of the launcher, from "Launcher started" to the exit code.
#pragma once

#include <string>
#include <vector>

// args[0] is the program name, args[1] the join URI; later ones are only logged.
// Returns 0 when RetroArch was started and 1 for every failure.
int RunLauncher(const std::vector<std::wstring>& args);
