#include "launcher_run.h"

#include "content_resolution.h"
#include "file_system.h"
#include "join_uri.h"
#include "launcher_config.h"
#include "log.h"
#include "retroarch_launch.h"
#include "text_convert.h"

int RunLauncher(const std::vector<std::wstring>& args) {
  WriteLog("Launcher started");
  for (size_t i = 0; i < args.size(); ++i) {
    WriteLog("argv[" + std::to_string(i) + "]: " + WideToUtf8(args[i]));
  }

  const std::wstring baseFolder = CurrentFolder();
  if (baseFolder.empty()) {
    WriteLog("READ ERROR: current folder unreadable");
    return 1;
  }

  const std::optional<LauncherConfig> config = LoadLauncherConfig(baseFolder);
  if (!config) return 1;

  if (args.size() < 2) {
    WriteLog("ARGS: insufficient arguments");
    return 1;
  }

  const std::string uri = WideToUtf8(args[1]);
  WriteLog("ARGS: " + uri);
  const std::optional<JoinRequest> request = ParseJoinUri(uri);
  if (!request) {
    WriteLog("Invalid URI scheme.");
    return 1;
  }

  const std::optional<std::wstring> corePath = ResolveCore(config->coresPath, request->core);
  if (!corePath) return 1;
  const std::optional<std::wstring> gamePath = ResolveGame(config->gamesPath, request->game);
  if (!gamePath) return 1;

  return LaunchRetroArch(config->retroarchPath, baseFolder, *request, *corePath, *gamePath);
}
