// Formatting of one log line; no platform calls, so it builds and is tested natively too.
#pragma once

#include <string>
#include <string_view>

// "YYYY-MM-DDTHH:MM:SSZ" from UTC calendar fields.
std::string FormatUtcTimestamp(int year, int month, int day, int hour, int minute, int second);

// "[" + timestamp + "] " + message + line end, with every LF stored as CR LF, the way a
// text-mode stream would store it. The result is written to the file in one piece.
std::string FormatLogLine(std::string_view timestamp, std::string_view message);
