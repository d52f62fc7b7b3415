// UTF-8 <-> UTF-16 conversion, the only way text crosses between the two kinds of string.
#pragma once

#include <string>

// Both convert up to the first NUL; an empty input or a failed conversion gives "".
// Malformed input is not rejected: the platform substitutes what it cannot read.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
