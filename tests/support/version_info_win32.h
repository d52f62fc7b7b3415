// Reading a program's VERSIONINFO resource the way Explorer's Details tab does.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct VersionInfo {
  std::wstring fixedFileVersion;     // "a.b.c.d" from the fixed part
  std::wstring fixedProductVersion;  // "a.b.c.d" from the fixed part
  // The named strings of the first language listed, in the order of VersionStringNames();
  // a string the resource lacks is empty.
  std::vector<std::wstring> strings;
};

// CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
// OriginalFilename, ProductName, ProductVersion.
const std::vector<std::wstring>& VersionStringNames();

// Nothing when the file cannot be read or carries no version resource.
std::optional<VersionInfo> ReadVersionInfo(const std::wstring& file);

// The string of that name, "" when it is missing.
std::wstring VersionString(const VersionInfo& info, const std::wstring& name);

// True when the executable holds an icon group of that numeric resource id.
bool HasIconGroup(const std::wstring& file, unsigned short id);
