#include "path_rules.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (!folder.empty() && !IsSeparator(folder.back())) path += L'\\';
  path += name;
  return path;
}

std::wstring ParentFolder(std::wstring_view path) {
  const size_t last = path.find_last_of(L"\\/");
  if (last == std::wstring_view::npos) return L".";
  return std::wstring(path.substr(0, last));
}

std::wstring StripDotPrefix(std::wstring_view path) {
  if (path.size() >= 2 && path[0] == L'.' && IsSeparator(path[1])) path.remove_prefix(2);
  return std::wstring(path);
}

bool IsAbsoluteConfigPath(std::wstring_view path) {
  if (path.find(L":\\") != std::wstring_view::npos) return true;
  if (path.starts_with(L"\\\\")) return true;
  // C:/RetroArch/retroarch.exe names a drive as surely as C:\RetroArch\retroarch.exe.
  return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'/';
}

std::wstring ResolveConfiguredPath(std::wstring_view baseFolder, std::wstring_view value) {
  std::wstring path = StripDotPrefix(value);
  if (IsAbsoluteConfigPath(path)) return path;
  return JoinPath(baseFolder, path);
}

std::wstring ExtendedLengthPath(std::wstring_view fullPath) {
  if (fullPath.starts_with(kExtendedPathPrefix) || fullPath.starts_with(L"\\\\.\\")) {
    return std::wstring(fullPath);
  }
  if (fullPath.starts_with(L"\\\\")) {
    return std::wstring(kExtendedPathPrefix) + L"UNC" + std::wstring(fullPath.substr(1));
  }
  if (fullPath.size() >= 3 && IsAsciiLetter(fullPath[0]) && fullPath[1] == L':' && fullPath[2] == L'\\') {
    return std::wstring(kExtendedPathPrefix) + std::wstring(fullPath);
  }
  return std::wstring(fullPath);
}
