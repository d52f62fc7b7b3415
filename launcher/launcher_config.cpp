#include "launcher_config.h"

#include "config_text.h"
#include "file_system.h"
#include "log.h"
#include "path_rules.h"
#include "text_convert.h"

std::optional<LauncherConfig> LoadLauncherConfig(const std::wstring& baseFolder) {
  const std::wstring configPath = JoinPath(baseFolder, kConfigFileName);
  WriteLog("CONFIG PATH: " + WideToUtf8(configPath));

  const std::optional<std::string> bytes = ReadWholeFile(configPath);
  if (!bytes) {
    WriteLog("READ ERROR: config not found");
    return std::nullopt;
  }
  const std::string text = NormalizeTextModeLineEnds(*bytes);
  WriteLog("RAW CONFIG START");
  WriteLogKeepingLineBreaks(text);
  WriteLog("RAW CONFIG END");

  const std::optional<ConfigValues> values = ExtractConfigValues(text);
  if (!values) {
    WriteLog("CONFIG PARSE ERROR: missing key");
    return std::nullopt;
  }
  return LauncherConfig{
      ResolveConfiguredPath(baseFolder, Utf8ToWide(values->retroarchPath)),
      ResolveConfiguredPath(baseFolder, Utf8ToWide(values->coresPath)),
      ResolveConfiguredPath(baseFolder, Utf8ToWide(values->gamesPath)),
  };
}
