#include "log_line.h"

#include <cstdio>

std::string FormatUtcTimestamp(int year, int month, int day, int hour, int minute, int second) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, hour,
                minute, second);
  return buffer;
}

namespace {

void AppendEscaped(std::string& line, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  switch (byte) {
    case '\r': line += "\\r"; return;
    case '\n': line += "\\n"; return;
    case '\t': line += "\\t"; return;
    default:
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 0xF];
  }
}

}  // namespace

std::string FormatLogLine(std::string_view timestamp, std::string_view message, LogLayout layout) {
  const bool keepBreaks = layout == LogLayout::KeepLineBreaks;
  std::string line;
  line.reserve(timestamp.size() + message.size() + 8);
  line += '[';
  line += timestamp;
  line += "] ";
  for (char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (keepBreaks && byte == '\n') {
      line += "\r\n";
    } else if (keepBreaks && byte == '\t') {
      line += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendEscaped(line, byte);
    } else {
      line += c;
    }
  }
  line += "\r\n";
  return line;
}
