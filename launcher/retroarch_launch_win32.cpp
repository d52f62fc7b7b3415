#include "retroarch_launch.h"

#include <windows.h>

#include <vector>

#include "file_system.h"
#include "join_checks.h"
#include "log.h"
#include "path_rules.h"
#include "retroarch_command_line.h"
#include "text_convert.h"

std::optional<std::wstring> WriteNetplayPasswordFile(const std::wstring& baseFolder,
                                                     const std::string& password) {
  const std::optional<std::string> fragment = NetplayPasswordFragment(password);
  if (!fragment) {
    WriteLog("Password not written: it holds a quote or a line break");
    return std::nullopt;
  }
  std::wstring path = JoinPath(baseFolder, kPasswordFileName);
  if (!WriteWholeFile(path, *fragment)) {
    WriteLog("Failed to write netplay-pass.cfg");
    return std::nullopt;
  }
  WriteLog("Wrote temporary netplay-pass.cfg with password.");
  return path;
}

int LaunchRetroArch(const std::wstring& retroarchPath, const std::wstring& baseFolder,
                    const JoinRequest& request, const std::wstring& corePath,
                    const std::wstring& gamePath) {
  RetroArchArgs args;
  args.retroarchPath = retroarchPath;
  args.relayMode = !request.relay.empty();
  args.host = Utf8ToWide(request.host);
  args.relay = Utf8ToWide(request.relay);
  args.port = Utf8ToWide(request.port);
  args.session = Utf8ToWide(request.session);
  args.nickname = Utf8ToWide(request.nickname);
  args.corePath = corePath;
  args.gamePath = gamePath;
  // Refused before the password file is written: this join starts nothing.
  if (RelaySessionValueIsAmbiguous(args)) {
    WriteLog("Relay join refused: relay, port or session holds '|'");
    return 1;
  }
  if (!request.password.empty()) {
    args.passwordFilePath = WriteNetplayPasswordFile(baseFolder, request.password).value_or(L"");
  }

  const std::wstring commandLine = BuildRetroArchCommandLine(args);
  WriteLog("Launching RetroArch with args: " + WideToUtf8(commandLine));

  // CreateProcessW may write into its command-line buffer, so it gets a copy.
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  const std::wstring workingFolder = ParentFolder(retroarchPath);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.c_str(), &startup, &process)) {
    const DWORD error = GetLastError();
    WriteLog("Failed to launch RetroArch: GetLastError=" + std::to_string(error));
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  WriteLog("RetroArch launched successfully.");
  return 0;
}
