#include "join_checks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(IsSafeCoreNameTest, RefusesAnythingThatLeavesTheCoresFolder) {
  for (const char* name : {"examplecore", "mesen-s", "snes9x_2010", "a.b", ".."})
    EXPECT_TRUE(IsSafeCoreName(name)) << name;
  for (const std::string& name : std::vector<std::string>{"..\\..\\Downloads\\x", "../x", "C:x", "sub/core", "a\\b",
                           std::string("core\0.dll", 9)})
    EXPECT_FALSE(IsSafeCoreName(name)) << name;
}

TEST(NetplayPasswordFragmentTest, OneQuotedLineEndingInCrLf) {
  EXPECT_EQ(NetplayPasswordFragment("s3cret pass"), "netplay_password = \"s3cret pass\"\r\n");
  EXPECT_EQ(NetplayPasswordFragment("\xC3\xA9t\xC3\xA9"), "netplay_password = \"\xC3\xA9t\xC3\xA9\"\r\n");
}

TEST(NetplayPasswordFragmentTest, RefusesWhatWouldBreakOutOfTheValue) {
  for (const std::string& password : std::vector<std::string>{"a\"b", "a\nnetplay_x = 1", "a\rb", std::string("a\0b", 3)})
    EXPECT_FALSE(NetplayPasswordFragment(password));
}

}  // namespace
