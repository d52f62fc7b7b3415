#include "path_rules.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct JoinCase {
  const wchar_t* folder;
  const wchar_t* name;
  const wchar_t* joined;
};

// Test names show the inputs; ASCII is all they hold.
std::string Ascii(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text);
  return out;
}

void PrintTo(const JoinCase& c, std::ostream* out) { *out << Ascii(c.folder) << " + " << Ascii(c.name); }

class JoinPathTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTest, AddsOneBackslashUnlessTheFolderEndsInASeparator) {
  EXPECT_EQ(JoinPath(GetParam().folder, GetParam().name), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JoinPathTest,
    testing::Values(JoinCase{L"C:\\a", L"b", L"C:\\a\\b"},
                    JoinCase{L"C:\\", L"launcher-config.json", L"C:\\launcher-config.json"},
                    JoinCase{L"", L"b", L"b"},
                    JoinCase{L"C:/a/", L"b", L"C:/a/b"},
                    JoinCase{L"C:\\a", L"\\b", L"C:\\a\\\\b"}));

TEST(ParentFolderTest, CutsAtTheLastSeparator) {
  EXPECT_EQ(ParentFolder(L"D:\\Emu\\RetroArch\\retroarch.exe"), L"D:\\Emu\\RetroArch");
  EXPECT_EQ(ParentFolder(L"D:/Emu/retroarch.exe"), L"D:/Emu");
  EXPECT_EQ(ParentFolder(L"D:\\retroarch.exe"), L"D:");
  EXPECT_EQ(ParentFolder(L"retroarch.exe"), L".");
  EXPECT_EQ(ParentFolder(L"D:\\Emu/x\\"), L"D:\\Emu/x");
  EXPECT_EQ(ParentFolder(L"D:\\a/b"), L"D:\\a");
}

struct ResolveCase {
  const wchar_t* value;
  const wchar_t* resolved;
};

void PrintTo(const ResolveCase& c, std::ostream* out) { *out << Ascii(c.value); }

class ResolveConfiguredPathTest : public testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveConfiguredPathTest, AbsoluteStaysRelativeJoinsTheBaseFolder) {
  EXPECT_EQ(ResolveConfiguredPath(L"D:\\Join", GetParam().value), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ResolveConfiguredPathTest,
    testing::Values(ResolveCase{L"C:\\RA\\retroarch.exe", L"C:\\RA\\retroarch.exe"},
                    ResolveCase{L"C:\\\\RA\\\\retroarch.exe", L"C:\\\\RA\\\\retroarch.exe"},
                    ResolveCase{L"C:/RA/retroarch.exe", L"C:/RA/retroarch.exe"},
                    ResolveCase{L"c:/ra", L"c:/ra"},
                    ResolveCase{L"\\\\server\\share\\ra.exe", L"\\\\server\\share\\ra.exe"},
                    ResolveCase{L"cores", L"D:\\Join\\cores"},
                    ResolveCase{L"./roms", L"D:\\Join\\roms"},
                    ResolveCase{L".\\roms", L"D:\\Join\\roms"},
                    ResolveCase{L"./\\x", L"D:\\Join\\\\x"},
                    ResolveCase{L".\\./x", L"D:\\Join\\./x"},
                    ResolveCase{L"\\RA\\ra.exe", L"D:\\Join\\\\RA\\ra.exe"},
                    ResolveCase{L"1:/x", L"D:\\Join\\1:/x"},    // not a drive letter
                    ResolveCase{L"C:", L"D:\\Join\\C:"},
                    ResolveCase{L"x/C:/y", L"D:\\Join\\x/C:/y"}));

class ExtendedLengthPathTest : public testing::TestWithParam<ResolveCase> {};

TEST_P(ExtendedLengthPathTest, PrefixesDriveAndUncPathsOnly) {
  EXPECT_EQ(ExtendedLengthPath(GetParam().value), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExtendedLengthPathTest,
    testing::Values(ResolveCase{L"C:\\games\\x.gb", L"\\\\?\\C:\\games\\x.gb"},
                    ResolveCase{L"\\\\nas\\roms\\x.gb", L"\\\\?\\UNC\\nas\\roms\\x.gb"},
                    ResolveCase{L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
                    ResolveCase{L"\\\\?\\UNC\\nas\\roms", L"\\\\?\\UNC\\nas\\roms"},
                    ResolveCase{L"\\\\.\\COM1", L"\\\\.\\COM1"},
                    // Not full paths: Windows has no extended form for them.
                    ResolveCase{L"roms\\x.gb", L"roms\\x.gb"},
                    ResolveCase{L"C:roms", L"C:roms"},
                    ResolveCase{L"\\roms", L"\\roms"}));

}  // namespace
