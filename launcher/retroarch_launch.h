// The last step of a join: the password fragment, the command line and the start.
#pragma once

#include <optional>
#include <string>

#include "join_uri.h"

inline constexpr wchar_t kPasswordFileName[] = L"netplay-pass.cfg";

// Writes netplay-pass.cfg in the base folder and gives its path, or nothing when it was
// not written. Logs one line either way; never ends the run.
std::optional<std::wstring> WriteNetplayPasswordFile(const std::wstring& baseFolder,
                                                     const std::string& password);

// Starts RetroArch in its own folder and returns the exit code of the run: 0 when it was
// started, 1 when the start failed. Does not wait for it.
int LaunchRetroArch(const std::wstring& retroarchPath, const std::wstring& baseFolder,
                    const JoinRequest& request, const std::wstring& corePath,
                    const std::wstring& gamePath);
