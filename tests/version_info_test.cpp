// The version record of both built programs: one version number from project(), the
// product name, and a description of its own for each; the listener keeps its icon.
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
  EXPECT_FALSE(ReadVersionInfo(ThisProgramFolder() + L"\\retroarch_standin.exe").has_value());
}

}  // namespace
