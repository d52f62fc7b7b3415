// Path text rules of the launcher. Pure text work: the file system is never consulted.
#pragma once

#include <string>
#include <string_view>

// folder + "\" + name; no separator is added when the folder already ends in '\' or '/',
// and an empty folder gives the name unchanged. The name is not inspected.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The text before the last '\' or '/', or "." when there is none.
std::wstring ParentFolder(std::wstring_view path);

// Removes one leading "./" or ".\".
std::wstring StripDotPrefix(std::wstring_view path);

// A configured path counts as absolute when it holds ":\" anywhere, begins with "\\"
// (UNC), or begins with a drive letter, a colon and '/'.
bool IsAbsoluteConfigPath(std::wstring_view path);

// A configured value made into a full path: dot prefix stripped, then used as it stands
// when absolute, otherwise joined to the base folder.
std::wstring ResolveConfiguredPath(std::wstring_view baseFolder, std::wstring_view value);

// Windows refuses a path of MAX_PATH (260) characters or more unless it is in the extended
// form, which it passes to the file system without any parsing.
inline constexpr size_t kMaxPathLength = 260;
inline constexpr wchar_t kExtendedPathPrefix[] = L"\\\\?\\";

// The extended form of a full path: "\\?\C:\a" for C:\a, "\\?\UNC\server\share\a" for
// \\server\share\a. A path already in that form, a device path ("\\.\") and any path that is
// not full stay as they are. Windows takes the extended form literally, so the path must
// already be normalised ('\' only, no "." or ".." parts).
std::wstring ExtendedLengthPath(std::wstring_view fullPath);
