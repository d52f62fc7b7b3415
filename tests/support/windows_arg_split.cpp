#include "windows_arg_split.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitWindowsArguments(std::wstring_view line) {
  std::vector<std::wstring> args;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return args;

    std::wstring arg;
    bool quoted = false;
    while (i < line.size()) {
      const wchar_t c = line[i];
      if (c == L'\\') {
        size_t count = 0;
        while (i < line.size() && line[i] == L'\\') {
          ++count;
          ++i;
        }
        if (i < line.size() && line[i] == L'"') {
          arg.append(count / 2, L'\\');
          if (count % 2 == 1) {
            arg += L'"';
            ++i;
          }
        } else {
          arg.append(count, L'\\');
        }
        continue;
      }
      if (c == L'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
          arg += L'"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if (!quoted && IsBlank(c)) break;
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
}

std::vector<std::wstring> SplitWindowsCommandLine(std::wstring_view line) {
  std::wstring program;
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    program = line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
    i = (close == std::wstring_view::npos) ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
    program = line.substr(0, i);
  }
  std::vector<std::wstring> args = SplitWindowsArguments(line.substr(i));
  args.insert(args.begin(), std::move(program));
  return args;
}
