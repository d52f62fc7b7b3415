// What a /join request does: start kovrin.exe with the join URI.
#pragma once

#include <string_view>

// Starts the launcher with "zelv://join?" + query and does not wait for it. False (after
// its log line) when the process could not be created.
bool StartLauncher(std::string_view query);
