// kovrin: joins a netplay game named by one join URI and exits.
#include <string>
#include <vector>

#include "launcher_run.h"
#include "log.h"

int wmain(int argc, wchar_t** argv) {
  // Nothing the run throws may escape as a crash: one line in the log and exit code 1.
  try {
    return RunLauncher(std::vector<std::wstring>(argv, argv + argc));
  } catch (...) {
    WriteLog("Unknown exception");
    return 1;
  }
}
