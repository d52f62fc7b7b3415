#include "support/version_info_win32.h"

#include <windows.h>

namespace {

std::wstring Hex4(unsigned value) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring text;
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

std::wstring FourPart(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
         std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

}  // namespace

const std::vector<std::wstring>& VersionStringNames() {
  static const std::vector<std::wstring> names = {
      L"CompanyName",      L"FileDescription", L"FileVersion", L"InternalName",
      L"LegalCopyright",   L"OriginalFilename", L"ProductName", L"ProductVersion"};
  return names;
}

std::optional<VersionInfo> ReadVersionInfo(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;

  VersionInfo info;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
  info.fixedFileVersion = FourPart(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  info.fixedProductVersion = FourPart(fixed->dwProductVersionMS, fixed->dwProductVersionLS);

  struct Translation {
    WORD language;
    WORD codePage;
  };
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
      length < sizeof(Translation))
    return std::nullopt;
  const auto* translation = static_cast<const Translation*>(value);
  const std::wstring block =
      L"\\StringFileInfo\\" + Hex4(translation->language) + Hex4(translation->codePage) + L"\\";

  for (const std::wstring& name : VersionStringNames()) {
    const std::wstring query = block + name;
    if (VerQueryValueW(data.data(), query.c_str(), &value, &length) && length > 0) {
      // The length counts the closing NUL when there is one.
      std::wstring text(static_cast<const wchar_t*>(value), length);
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      info.strings.push_back(text);
    } else {
      info.strings.emplace_back();
    }
  }
  return info;
}

std::wstring VersionString(const VersionInfo& info, const std::wstring& name) {
  const std::vector<std::wstring>& names = VersionStringNames();
  for (size_t i = 0; i < names.size() && i < info.strings.size(); ++i)
    if (names[i] == name) return info.strings[i];
  return {};
}

bool HasIconGroup(const std::wstring& file, unsigned short id) {
  HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return false;
  const bool found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON) != nullptr;
  FreeLibrary(module);
  return found;
}
