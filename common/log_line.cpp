#include "log_line.h"

#include <cstdio>

std::string FormatUtcTimestamp(int year, int month, int day, int hour, int minute, int second) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour,
                minute, second);
  return buffer;
}

std::string FormatLogLine(std::string_view timestamp, std::string_view message) {
  std::string line;
  line.reserve(timestamp.size() + message.size() + 8);
  line += '[';
  line += timestamp;
  line += "] ";
  for (char c : message) {
    if (c == '\n') line += '\r';
    line += c;
  }
  line += "\r\n";
  return line;
}
