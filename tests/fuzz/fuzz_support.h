// What the fuzz targets share: a check that stops the run, and the ways they cut the
// fuzzer's bytes into the values they test. Seeds are plain files written by hand, so the
// byte layouts stay simple enough to write in a text editor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A failed check aborts, which libFuzzer reports as a crash and saves the input for.
#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "FUZZ_CHECK failed: %s at %s:%d\n", #condition, __FILE__,      \
                   __LINE__);                                                              \
      std::abort();                                                                        \
    }                                                                                      \
  } while (false)

inline std::string_view FuzzBytes(const std::uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The parts of data between NUL bytes; missing parts come back empty, and whatever
// follows the last wanted part stays in it.
inline std::vector<std::string_view> SplitAtNul(std::string_view data, size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t nul = data.find('\0');
    if (nul == std::string_view::npos) break;
    parts.push_back(data.substr(0, nul));
    data.remove_prefix(nul + 1);
  }
  parts.push_back(data);
  parts.resize(count);
  return parts;
}

// UTF-16 text from bytes: each byte is one code unit, except that 0xFF takes the next two
// bytes, high byte first, as one code unit, so any unit can appear while seeds stay text.
inline std::wstring WidenFuzzBytes(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0xFF && i + 2 < bytes.size()) {
      const auto high = static_cast<unsigned char>(bytes[i + 1]);
      const auto low = static_cast<unsigned char>(bytes[i + 2]);
      text += static_cast<wchar_t>((high << 8) | low);
      i += 2;
    } else {
      text += static_cast<wchar_t>(byte);
    }
  }
  return text;
}

// True when part is a view into whole. An empty part counts as inside wherever it points.
inline bool ViewInside(std::string_view part, std::string_view whole) {
  if (part.empty()) return true;
  const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
  const auto at = reinterpret_cast<std::uintptr_t>(part.data());
  return at >= begin && at + part.size() <= begin + whole.size();
}

