#include "config_text.h"

#include <gtest/gtest.h>

namespace {

struct ExtractCase {
  const char* text;
  const char* key;
  const char* value;
};

void PrintTo(const ExtractCase& c, std::ostream* out) { *out << c.key << " in " << c.text; }

class ExtractJsonStringTest : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractJsonStringTest, TakesTheFirstQuotedTextAfterTheKeysColon) {
  EXPECT_EQ(ExtractJsonString(GetParam().text, GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExtractJsonStringTest,
    testing::Values(
        ExtractCase{R"({"coresPath": "cores"})", "coresPath", "cores"},
        ExtractCase{"{\"coresPath\"\n  :\n  \"c\"}", "coresPath", "c"},          // blanks skipped
        ExtractCase{R"({"CoresPath": "cores"})", "coresPath", ""},                // case-sensitive
        ExtractCase{R"({"a": "x\"y"})", "a", "x\\"},                              // no escapes
        ExtractCase{R"({"a": "C:\\RA"})", "a", "C:\\\\RA"},                       // bytes as they stand
        ExtractCase{R"({"a": "first", "a": "second"})", "a", "first"},
        ExtractCase{R"({"o": {"a": "nested"}, "a": "top"})", "a", "nested"},     // any object
        ExtractCase{R"({"gamesPath": 5, "coresPath": "c"})", "gamesPath", "coresPath"},
        ExtractCase{R"({"a" "no colon"})", "a", ""},
        ExtractCase{R"({"a": 5})", "a", ""},                                      // no quote after colon
        ExtractCase{R"({"a": "open)", "a", ""},                                   // value never closed
        ExtractCase{"", "a", ""},
        ExtractCase{"\xEF\xBB\xBF{\"a\": \"bom\"}", "a", "bom"}));

TEST(ExtractConfigValuesTest, StripsOneDotSlashAndRequiresAllThree) {
  const auto values = ExtractConfigValues(
      R"({"retroarchPath": "././ra.exe", "coresPath": "cores", "gamesPath": "./roms"})");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->retroarchPath, "./ra.exe");
  EXPECT_EQ(values->coresPath, "cores");
  EXPECT_EQ(values->gamesPath, "roms");
}

TEST(ExtractConfigValuesTest, MissingEmptyOrDotOnlyValueFails) {
  for (const char* text : {
           R"({"retroarchPath": "r", "coresPath": "c"})",
           R"({"retroarchPath": "", "coresPath": "c", "gamesPath": "g"})",
           R"({"retroarchPath": "r", "coresPath": "./", "gamesPath": "g"})",
           R"({"RetroarchPath": "r", "coresPath": "c", "gamesPath": "g"})",
           "not json at all",
           ""}) {
    EXPECT_FALSE(ExtractConfigValues(text)) << text;
  }
}

TEST(NormalizeTextModeLineEndsTest, OnlyCrLfPairsCollapse) {
  EXPECT_EQ(NormalizeTextModeLineEnds("a\r\nb\rc\n\r\r\n"), "a\nb\rc\n\r\n");
}

}  // namespace
