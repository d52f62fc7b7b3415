#include "text_convert.h"

#include <gtest/gtest.h>

namespace {

TEST(TextConvertTest, RoundTripsUtf8) {
  const std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAE";
  EXPECT_EQ(Utf8ToWide(text), L"caf\x00e9 \x20ac \xd83c\xdfae");
  EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
}

TEST(TextConvertTest, EmptyAndEmbeddedNul) {
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(WideToUtf8(std::wstring(L"ab\0cd", 5)), "ab");
  EXPECT_EQ(Utf8ToWide(std::string("\0x", 2)), L"");
}

TEST(TextConvertTest, MalformedInputIsNotRejected) {
  EXPECT_FALSE(Utf8ToWide("a\xFF" "b").empty());
}

}  // namespace
