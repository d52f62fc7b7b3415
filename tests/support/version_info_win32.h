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

// A program's application manifest as the loader reads it: an activation context made
// from resource 1 of type 24 (RT_MANIFEST).
struct ManifestInfo {
  int resources = 0;        // RT_MANIFEST resources in the file, each id and language counted
  bool loaded = false;      // the activation context could be made
  unsigned long runLevel = 0;  // ACTCTX_REQUESTED_RUN_LEVEL; 1 is asInvoker
  bool uiAccess = true;
  bool supportsWindows10 = false;  // supportedOS {8e0f7a12-…}, which stands for 10 and 11
};
ManifestInfo ReadManifestInfo(const std::wstring& file);

// The value of a windowsSettings entry, found by its XML namespace and name as Windows
// looks it up; nothing when the manifest has no such entry in that namespace.
std::optional<std::wstring> ReadManifestSetting(const std::wstring& file, const std::wstring& xmlNamespace,
                                                const std::wstring& name);
