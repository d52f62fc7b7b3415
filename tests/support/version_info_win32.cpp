#include "support/version_info_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

// The activation context of a program's manifest, released when it goes out of scope.
struct ManifestContext {
  explicit ManifestContext(const std::wstring& file) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = file.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    handle = CreateActCtxW(&request);
  }
  ~ManifestContext() {
    if (handle != INVALID_HANDLE_VALUE) ReleaseActCtx(handle);
  }
  ManifestContext(const ManifestContext&) = delete;
  ManifestContext& operator=(const ManifestContext&) = delete;
  HANDLE handle;
};

BOOL CALLBACK CountLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountLanguagesOfName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR count) {
  EnumResourceLanguagesW(module, type, name, CountLanguage, count);
  return TRUE;
}

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

ManifestInfo ReadManifestInfo(const std::wstring& file) {
  ManifestInfo info;
  if (HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EnumResourceNamesW(module, RT_MANIFEST, CountLanguagesOfName, reinterpret_cast<LONG_PTR>(&info.resources));
    FreeLibrary(module);
  }
  const ManifestContext context(file);
  info.loaded = context.handle != INVALID_HANDLE_VALUE;
  if (!info.loaded) return info;

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
  if (QueryActCtxW(0, context.handle, nullptr, RunlevelInformationInActivationContext, &level, sizeof level,
                   nullptr)) {
    info.runLevel = level.RunLevel;
    info.uiAccess = level.UiAccess != 0;
  }
  // The size of each element grew with later SDKs (MaxVersionTested), so look for the
  // identifier's bytes rather than trust one layout.
  unsigned char compatibility[1024];
  SIZE_T size = 0;
  if (QueryActCtxW(0, context.handle, nullptr, CompatibilityInformationInActivationContext, compatibility,
                   sizeof compatibility, &size)) {
    static constexpr GUID kWindows10 = {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
    const auto* id = reinterpret_cast<const unsigned char*>(&kWindows10);
    info.supportsWindows10 = std::search(compatibility, compatibility + size, id, id + sizeof kWindows10) !=
                             compatibility + size;
  }
  return info;
}

std::optional<std::wstring> ReadManifestSetting(const std::wstring& file, const std::wstring& xmlNamespace,
                                                const std::wstring& name) {
  const ManifestContext context(file);
  wchar_t value[256] = {};
  SIZE_T written = 0;
  if (context.handle == INVALID_HANDLE_VALUE ||
      !QueryActCtxSettingsW(0, context.handle, xmlNamespace.c_str(), name.c_str(), value, 256, &written))
    return std::nullopt;
  return std::wstring(value);
}
