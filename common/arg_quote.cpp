#include "arg_quote.h"

std::wstring QuoteWindowsArg(std::wstring_view arg) {
  std::wstring quoted;
  quoted.reserve(arg.size() + 2);
  quoted += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      // Each pending backslash doubled, plus one that escapes the quote itself.
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    quoted += c;
    backslashes = 0;
  }
  // Backslashes before the closing quote would escape it; double them.
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

bool NeedsWindowsQuoting(std::wstring_view arg) {
  return arg.empty() || arg.find_first_of(L" \t\"") != std::wstring_view::npos;
}

std::wstring QuoteWindowsArgIfNeeded(std::wstring_view arg) {
  return NeedsWindowsQuoting(arg) ? QuoteWindowsArg(arg) : std::wstring(arg);
}
