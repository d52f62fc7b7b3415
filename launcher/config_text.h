// Reading the three paths out of the text of launcher-config.json. The file is JSON in
// form, but the values are found by plain text search, so any text gives an answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text between the first two double quotes that follow the first colon after the
// first occurrence of "key" (quotes included in the search). Empty when any of these is
// missing. Escapes are not processed: a backslash does not protect a quote.
std::string ExtractJsonString(std::string_view text, std::string_view key);

// The three configured values as they stand in the file (UTF-8), each with one leading
// "./" removed.
struct ConfigValues {
  std::string retroarchPath;
  std::string coresPath;
  std::string gamesPath;
};

// The three values, or nothing when any of them is missing or empty.
std::optional<ConfigValues> ExtractConfigValues(std::string_view text);

// What a file read in text mode gives: every CR LF pair becomes one LF.
std::string NormalizeTextModeLineEnds(std::string_view bytes);
