// The shared log, launcher-log.txt in the current directory of the writing process.
#pragma once

#include <string_view>

// Appends one line to launcher-log.txt. Never fails to its caller: a line that cannot be
// written is dropped. Safe to call from several processes at once; lines never interleave.
// Control bytes in the message are written as visible escapes (\n, \r, \x07…), so every
// message is exactly one line of the file.
void WriteLog(std::string_view message);

// The same for text whose line breaks are to stay line breaks: the configuration dump,
// which the player wrote. Never for text that came with a join or a request.
void WriteLogKeepingLineBreaks(std::string_view text);
