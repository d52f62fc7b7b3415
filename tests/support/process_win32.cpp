#include "support/process_win32.h"

#include <windows.h>

#include "arg_quote.h"

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingFolder,
                         unsigned long timeoutMs) {
  ProcessResult result;
  std::wstring buffer = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process))
    return result;
  result.started = true;
  CloseHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    result.timedOut = true;
    TerminateProcess(process.hProcess, 99);
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = code;
  CloseHandle(process.hProcess);
  return result;
}

std::wstring MakeCommandLine(const std::wstring& program, const std::vector<std::wstring>& args) {
  std::wstring line = QuoteWindowsArg(program);
  for (const std::wstring& arg : args) line += L" " + QuoteWindowsArg(arg);
  return line;
}

bool StartUnixCommand(const std::wstring& commandLine, const std::wstring& workingFolder) {
  return RunProcess(L"Z:\\bin\\" + commandLine, workingFolder).started;
}
