// Starting programs from tests and waiting for them.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

struct ProcessResult {
  bool started = false;
  unsigned long exitCode = 0;
  bool timedOut = false;
};

// Runs a command line in a working folder and waits at most timeoutMs for it to end.
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingFolder,
                         unsigned long timeoutMs = 20000);

// The program path and arguments, each quoted by the Windows rules, joined by blanks.
std::wstring MakeCommandLine(const std::wstring& program, const std::vector<std::wstring>& args);

// Starts a Unix command from /bin (for example ln) through Wine. Wine does not track the
// end of a Unix child, so the caller waits for the command's effect with WaitUntil.
bool StartUnixCommand(const std::wstring& commandLine, const std::wstring& workingFolder);

// Polls the condition every 10 ms until it holds or timeoutMs has passed.
template <typename Condition>
bool WaitUntil(Condition condition, unsigned long timeoutMs = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
