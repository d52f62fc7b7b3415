// The shared log, launcher-log.txt in the current directory of the writing process.
#pragma once

#include <string_view>

// Appends one line to launcher-log.txt. Never fails to its caller: a line that cannot be
// written is dropped. Safe to call from several processes at once; lines never interleave.
void WriteLog(std::string_view message);
