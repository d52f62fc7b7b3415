#include "retroarch_command_line.h"

#include "arg_quote.h"

namespace {

void AppendOption(std::wstring& line, std::wstring_view option, std::wstring_view value) {
  line += L' ';
  line += option;
  line += L' ';
  line += QuoteWindowsArgIfNeeded(value);
}

// The program name is read up to the next quote with no escapes, so it goes in as it stands.
void AppendProgramPath(std::wstring& line, std::wstring_view path) {
  line += L'"';
  line += path;
  line += L'"';
}

// Any other path is an ordinary argument: a backslash before its closing quote would
// escape that quote, so it gets the full quoting rules.
void AppendQuotedPath(std::wstring& line, std::wstring_view path) { line += QuoteWindowsArg(path); }

}  // namespace

std::wstring BuildRetroArchCommandLine(const RetroArchArgs& args) {
  std::wstring line;
  AppendProgramPath(line, args.retroarchPath);
  if (args.relayMode) {
    AppendOption(line, L"--connect", args.relay);
  } else if (!args.host.empty()) {
    AppendOption(line, L"--connect", args.host);
  }
  AppendOption(line, L"--port", args.port);
  if (args.relayMode && !args.session.empty()) AppendOption(line, L"--mitm-session", args.session);
  AppendOption(line, L"--nick", args.nickname);
  if (!args.passwordFilePath.empty()) {
    line += L" --appendconfig ";
    AppendQuotedPath(line, args.passwordFilePath);
  }
  if (!args.corePath.empty()) {
    line += L" --libretro ";
    AppendQuotedPath(line, args.corePath);
  }
  line += L' ';
  AppendQuotedPath(line, args.gamePath);
  return line;
}
