#include "content_resolution.h"

#include "file_system.h"
#include "game_search.h"
#include "join_checks.h"
#include "log.h"
#include "path_rules.h"
#include "text_convert.h"

std::optional<std::wstring> ResolveCore(const std::wstring& coresPath, const std::string& core) {
  if (core.empty()) return std::wstring{};
  // A web page chooses this name; it must not lead RetroArch out of the cores folder.
  if (!IsSafeCoreName(core)) {
    WriteLog("Invalid core name: " + core);
    return std::nullopt;
  }
  std::wstring corePath = JoinPath(coresPath, Utf8ToWide(core + "_libretro.dll"));
  if (!FileExists(corePath)) {
    WriteLog("Core not found: " + WideToUtf8(corePath));
    return std::nullopt;
  }
  return corePath;
}

std::optional<std::wstring> ResolveGame(const std::wstring& gamesPath, const std::string& game) {
  if (game.empty()) {
    WriteLog("Game not specified");
    return std::nullopt;
  }
  std::wstring gamePath;
  if (!FindFileRecursive(gamesPath, game, gamePath)) {
    WriteLog("Game not found: " + game);
    return std::nullopt;
  }
  return gamePath;
}
