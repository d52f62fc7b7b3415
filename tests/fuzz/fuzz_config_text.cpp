// Any bytes as launcher-config.json, through value extraction and path resolution. When
// the input holds a NUL, the part before it is also tried as a key in the part after it.
#include <cstdint>
#include <iterator>

#include "config_text.h"
#include "fuzz_support.h"
#include "path_rules.h"

namespace {

constexpr std::string_view kKeys[] = {"retroarchPath", "coresPath", "gamesPath"};
const std::wstring_view kBaseFolders[] = {L"D:\\Join", L"D:\\Join\\", L"C:/x/", L""};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

void CheckExtract(std::string_view text, std::string_view key) {
  const std::string value = ExtractJsonString(text, key);
  FUZZ_CHECK(value.find('"') == std::string::npos);
  // A value found stood between two quotes of the text.
  if (!value.empty()) FUZZ_CHECK(text.find('"' + value + '"') != std::string_view::npos);
  if (text.find('"' + std::string(key) + '"') == std::string_view::npos) FUZZ_CHECK(value.empty());
}

void CheckResolve(std::string_view value) {
  const std::wstring raw = WidenFuzzBytes(value);
  const std::wstring stripped = StripDotPrefix(raw);
  FUZZ_CHECK(raw.ends_with(stripped));
  FUZZ_CHECK(stripped.size() == raw.size() ||
             (stripped.size() + 2 == raw.size() && raw[0] == L'.' && IsSeparator(raw[1])));

  const bool absolute = IsAbsoluteConfigPath(stripped);
  for (std::wstring_view base : kBaseFolders) {
    const std::wstring resolved = ResolveConfiguredPath(base, raw);
    if (absolute) {
      FUZZ_CHECK(resolved == stripped);
      continue;
    }
    FUZZ_CHECK(resolved.starts_with(base) && resolved.ends_with(stripped));
    const bool separatorAdded = !base.empty() && !IsSeparator(base.back());
    FUZZ_CHECK(resolved.size() == base.size() + stripped.size() + (separatorAdded ? 1 : 0));
    if (separatorAdded) FUZZ_CHECK(resolved[base.size()] == L'\\');
  }
}

void CheckConfigText(std::string_view bytes) {
  // Only CR LF pairs collapse, so dropping every CR makes both sides the same.
  const std::string text = NormalizeTextModeLineEnds(bytes);
  std::string bytesWithoutCr;
  size_t pairs = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') bytesWithoutCr += bytes[i];
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++pairs;
  }
  std::string textWithoutCr;
  for (char c : text)
    if (c != '\r') textWithoutCr += c;
  FUZZ_CHECK(textWithoutCr == bytesWithoutCr);
  FUZZ_CHECK(text.size() + pairs == bytes.size());

  for (std::string_view key : kKeys) CheckExtract(text, key);

  const std::optional<ConfigValues> values = ExtractConfigValues(text);
  if (!values) return;
  const std::string* fields[] = {&values->retroarchPath, &values->coresPath, &values->gamesPath};
  for (size_t i = 0; i < std::size(kKeys); ++i) {
    const std::string& value = *fields[i];
    FUZZ_CHECK(!value.empty());
    const std::string raw = ExtractJsonString(text, kKeys[i]);
    FUZZ_CHECK(raw == value || raw == "./" + value);
    CheckResolve(value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes = FuzzBytes(data, size);
  CheckConfigText(bytes);
  CheckResolve(bytes);
  if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos)
    CheckExtract(bytes.substr(nul + 1), bytes.substr(0, nul));
  return 0;
}
