// The version record of both built programs: one version number from project(), the
// product name, and a description of its own for each; the listener keeps its icon. And
// the one application manifest of both, as the loader reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/join_folder_win32.h"
#include "support/test_files_win32.h"
#include "support/version_info_win32.h"

namespace {

const std::wstring kVersion = Widen(ZELV_EXPECTED_VERSION);

VersionInfo Read(const std::wstring& file) {
  const std::optional<VersionInfo> info = ReadVersionInfo(file);
  if (!info) ADD_FAILURE() << "no version record in " << Narrow(file);
  return info.value_or(VersionInfo{});
}

void ExpectZelvVersion(const VersionInfo& info, const std::wstring& fileName) {
  EXPECT_EQ(info.fixedFileVersion, kVersion + L".0");
  EXPECT_EQ(info.fixedProductVersion, kVersion + L".0");
  EXPECT_EQ(VersionString(info, L"FileVersion"), kVersion);
  EXPECT_EQ(VersionString(info, L"ProductVersion"), kVersion);
  EXPECT_EQ(VersionString(info, L"ProductName"), L"Zelv");
  EXPECT_EQ(VersionString(info, L"CompanyName"), L"The Zelv developers");
  EXPECT_EQ(VersionString(info, L"OriginalFilename"), fileName);
}

TEST(VersionInfoTest, LauncherCarriesTheProjectVersion) {
  const VersionInfo info = Read(KovrinPath());
  ExpectZelvVersion(info, L"kovrin.exe");
  EXPECT_NE(VersionString(info, L"FileDescription").find(L"launcher"), std::wstring::npos);
}

TEST(VersionInfoTest, ListenerCarriesTheProjectVersion) {
  const VersionInfo info = Read(ListenerPath());
  ExpectZelvVersion(info, L"ZelvListener.exe");
  EXPECT_NE(VersionString(info, L"FileDescription").find(L"listener"), std::wstring::npos);
}

TEST(VersionInfoTest, ListenerKeepsItsIconBesideTheVersionRecord) {
  // IDI_ICON1 of listener/resource.h: the shell shows it for the file.
  EXPECT_TRUE(HasIconGroup(ListenerPath(), 101));
}

TEST(VersionInfoTest, AProgramWithoutARecordGivesNothing) {
  // The stand-in has no resources at all: the reader must say so, not make values up.
  const std::wstring standin = ThisProgramFolder() + L"\\retroarch_standin.exe";
  EXPECT_FALSE(ReadVersionInfo(standin).has_value());
  EXPECT_EQ(ReadManifestInfo(standin).resources, 0);
}

TEST(VersionInfoTest, BothProgramsCarryOneManifestWithTheirSettings) {
  const std::wstring k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
  const std::wstring k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
  struct Setting {
    std::wstring xmlNamespace;
    std::wstring name;
    std::optional<std::wstring> value;
  };
  const Setting settings[] = {
      {k2005, L"dpiAware", L"true/pm"},
      {k2016, L"dpiAwareness", L"PerMonitorV2, PerMonitor"},
      {k2016, L"longPathAware", L"true"},
      {k2005, L"longPathAware", std::nullopt},  // in the wrong namespace Windows ignores it
      // The ANSI code page stays the system's.
      {L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage", std::nullopt},
  };
  for (const std::wstring& program : {KovrinPath(), ListenerPath()}) {
    const ManifestInfo info = ReadManifestInfo(program);
    EXPECT_EQ(info.resources, 1) << Narrow(program);  // a second one would be a toolchain's default
    ASSERT_TRUE(info.loaded) << Narrow(program);
    EXPECT_EQ(info.runLevel, static_cast<unsigned long>(ACTCTX_RUN_LEVEL_AS_INVOKER)) << Narrow(program);
    EXPECT_FALSE(info.uiAccess) << Narrow(program);
    EXPECT_TRUE(info.supportsWindows10) << Narrow(program);
    for (const Setting& setting : settings)
      EXPECT_EQ(ReadManifestSetting(program, setting.xmlNamespace, setting.name), setting.value)
          << Narrow(program) << " " << Narrow(setting.name);
  }
}

}  // namespace
