// Turning the join's core and game into files on disk.
#pragma once

#include <optional>
#include <string>

// The core file <cores>\<core>_libretro.dll, "" when no core was asked for, or nothing
// (after its log line) when the name is unsafe or the file is missing.
std::optional<std::wstring> ResolveCore(const std::wstring& coresPath, const std::string& core);

// The first file named game below the games folder, or nothing after its log line.
std::optional<std::wstring> ResolveGame(const std::wstring& gamesPath, const std::string& game);
