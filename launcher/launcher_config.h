// launcher-config.json in the base folder: where RetroArch, the cores and the games lie.
#pragma once

#include <optional>
#include <string>

struct LauncherConfig {
  std::wstring retroarchPath;
  std::wstring coresPath;
  std::wstring gamesPath;
};

inline constexpr wchar_t kConfigFileName[] = L"launcher-config.json";

// Reads, logs and checks the file; each failure has written its log line when this
// returns nothing. Relative values are resolved against the base folder.
std::optional<LauncherConfig> LoadLauncherConfig(const std::wstring& baseFolder);
