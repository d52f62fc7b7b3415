#include "launcher_command.h"

#include "arg_quote.h"

std::string MakeJoinUri(std::string_view query) {
  std::string uri = "zelv://join?";
  uri += query;
  return uri;
}

std::wstring BuildLauncherCommandLine(std::wstring_view uri) {
  std::wstring line = L"\"";
  line += kLauncherFileName;
  line += L"\" ";
  line += QuoteWindowsArg(uri);
  return line;
}

std::wstring LauncherBeside(std::wstring_view ownPath) {
  const size_t separator = ownPath.find_last_of(L'\\');
  if (separator == std::wstring_view::npos) return {};
  std::wstring path(ownPath.substr(0, separator + 1));
  path += kLauncherFileName;
  return path;
}
