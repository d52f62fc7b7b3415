#include "log_line.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatUtcTimestampTest, TwentyCharactersEndingInZ) {
  EXPECT_EQ(FormatUtcTimestamp(2026, 3, 1, 18, 4, 9), "2026-03-01T18:04:09Z");
  EXPECT_EQ(FormatUtcTimestamp(999, 12, 31, 0, 0, 0), "0999-12-31T00:00:00Z");
}

TEST(FormatLogLineTest, PrefixMessageAndCrLf) {
  EXPECT_EQ(FormatLogLine("T", "hello"), "[T] hello\r\n");
  EXPECT_EQ(FormatLogLine("T", ""), "[T] \r\n");
  EXPECT_EQ(FormatLogLine("T", "\xE2\x82\xAC"), "[T] \xE2\x82\xAC\r\n");
}

TEST(FormatLogLineTest, ControlBytesAreEscapedUnlessLineBreaksAreKept) {
  struct Case {
    std::string message;
    std::string oneLine;    // the body as WriteLog writes it
    std::string keepBreaks; // the body as the configuration dump writes it
  };
  const Case cases[] = {
      {"x\n[2026-01-31T18:04:05Z] RetroArch launched successfully.",
       "x\\n[2026-01-31T18:04:05Z] RetroArch launched successfully.",
       "x\r\n[2026-01-31T18:04:05Z] RetroArch launched successfully."},
      {"a\r\nb\rc", "a\\r\\nb\\rc", "a\\r\r\nb\\rc"},
      {"\t\x07\x1B[2J\x7F", "\\t\\x07\\x1B[2J\\x7F", "\t\\x07\\x1B[2J\\x7F"},
      {std::string("nul\0end", 7), "nul\\x00end", "nul\\x00end"},
      {"console\\Hero.sfc \\n", "console\\Hero.sfc \\n", "console\\Hero.sfc \\n"},
      {"caf\xC3\xA9 \xFF\x80 ~", "caf\xC3\xA9 \xFF\x80 ~", "caf\xC3\xA9 \xFF\x80 ~"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatLogLine("T", c.message), "[T] " + c.oneLine + "\r\n") << c.oneLine;
    EXPECT_EQ(FormatLogLine("T", c.message, LogLayout::KeepLineBreaks), "[T] " + c.keepBreaks + "\r\n")
        << c.oneLine;
  }
}

}  // namespace
