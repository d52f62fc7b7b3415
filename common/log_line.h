// Formatting of one log line; no platform calls, so it builds and is tested natively too.
#pragma once

#include <string>
#include <string_view>

// "YYYY-MM-DDTHH:MM:SSZ" from UTC calendar fields.
std::string FormatUtcTimestamp(int year, int month, int day, int hour, int minute, int second);

// What a message may do to the layout of the file.
enum class LogLayout {
  // The message stays on its one line: CR, LF, tab, every other C0 control byte and DEL
  // are written as \r, \n, \t or \xHH. A value from a web page can then never start a
  // line of its own, a stamped one least of all.
  OneLine,
  // LF starts a new line (stored as CR LF) and tab stays a tab; every other control byte,
  // a CR on its own included, is escaped as above. Only for text the player wrote.
  KeepLineBreaks,
};

// "[" + timestamp + "] " + message + CR LF. Bytes that are not control bytes (backslashes,
// UTF-8, invalid UTF-8 alike) are written as they are. The result is written in one piece.
std::string FormatLogLine(std::string_view timestamp, std::string_view message,
                          LogLayout layout = LogLayout::OneLine);
