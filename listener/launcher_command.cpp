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
