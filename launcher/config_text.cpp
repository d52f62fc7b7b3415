#include "config_text.h"

std::string ExtractJsonString(std::string_view text, std::string_view key) {
  std::string pattern;
  pattern.reserve(key.size() + 2);
  pattern += '"';
  pattern += key;
  pattern += '"';

  const size_t keyAt = text.find(pattern);
  if (keyAt == std::string_view::npos) return {};
  const size_t colon = text.find(':', keyAt);
  if (colon == std::string_view::npos) return {};
  const size_t open = text.find('"', colon);
  if (open == std::string_view::npos) return {};
  const size_t close = text.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(text.substr(open + 1, close - open - 1));
}

namespace {

std::string StripDotSlash(std::string value) {
  if (value.starts_with("./")) value.erase(0, 2);
  return value;
}

}  // namespace

std::optional<ConfigValues> ExtractConfigValues(std::string_view text) {
  ConfigValues values{
      StripDotSlash(ExtractJsonString(text, "retroarchPath")),
      StripDotSlash(ExtractJsonString(text, "coresPath")),
      StripDotSlash(ExtractJsonString(text, "gamesPath")),
  };
  if (values.retroarchPath.empty() || values.coresPath.empty() || values.gamesPath.empty())
    return std::nullopt;
  return values;
}

std::string NormalizeTextModeLineEnds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}
