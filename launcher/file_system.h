// The few file system operations the launcher needs, by UTF-16 path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The process's current directory, read whole whatever its length; "" on failure.
std::wstring CurrentFolder();

// The form of a full path to hand to file system calls: unchanged while it is shorter than
// MAX_PATH, otherwise normalised and in the extended form ("\\?\C:\…", "\\?\UNC\…"), which
// Windows accepts at any length. Only for the calls: logs and RetroArch get the normal form.
std::wstring PathForFileCalls(const std::wstring& path);

// An entry exists and is not a folder / exists and is a folder. Both false when the
// attributes cannot be read.
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// The whole content of a file, or nothing when it cannot be opened (missing, no access,
// a folder of that name).
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Creates or truncates the file and writes the bytes. False only when it cannot be
// opened for writing; a failing write after a good open is not detected.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);
