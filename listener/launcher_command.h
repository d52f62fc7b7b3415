// What the listener hands to the launcher for a join. No platform calls.
#pragma once

#include <string>
#include <string_view>

inline constexpr wchar_t kLauncherFileName[] = L"kovrin.exe";

// "zelv://join?" followed by the query exactly as received.
std::string MakeJoinUri(std::string_view query);

// "kovrin.exe" in quotes, a blank, and the URI quoted by the Windows argument rules, so
// the launcher's second argument is the URI byte for byte, quotes and backslashes too.
std::wstring BuildLauncherCommandLine(std::wstring_view uri);

// The launcher in the folder of ownPath (this program's full path), or "" when ownPath
// names no folder.
std::wstring LauncherBeside(std::wstring_view ownPath);
