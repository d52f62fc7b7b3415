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

// A relay join with a session connects with one value, relay|port|session, which every
// RetroArch since 1.10 reads; --mitm-session is unknown before 1.17 and ends RetroArch.
bool ConnectsThroughRelaySession(const RetroArchArgs& args) {
  return args.relayMode && !args.session.empty();
}

}  // namespace

bool RelaySessionValueIsAmbiguous(const RetroArchArgs& args) {
  if (!ConnectsThroughRelaySession(args)) return false;
  for (const std::wstring* value : {&args.relay, &args.port, &args.session}) {
    if (value->find(L'|') != std::wstring::npos) return true;
  }
  return false;
}

std::wstring BuildRetroArchCommandLine(const RetroArchArgs& args) {
  std::wstring line;
  AppendProgramPath(line, args.retroarchPath);
  if (ConnectsThroughRelaySession(args)) {
    // --port stays: RetroArch takes the port from the value and the option agrees with it.
    AppendOption(line, L"--connect", args.relay + L'|' + args.port + L'|' + args.session);
  } else if (args.relayMode) {
    AppendOption(line, L"--connect", args.relay);
  } else if (!args.host.empty()) {
    AppendOption(line, L"--connect", args.host);
  }
  AppendOption(line, L"--port", args.port);
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
