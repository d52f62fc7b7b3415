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
  EXPECT_EQ(FormatLogLine("T", "a\nb\n"), "[T] a\r\nb\r\n\r\n");
  EXPECT_EQ(FormatLogLine("T", "\xE2\x82\xAC"), "[T] \xE2\x82\xAC\r\n");
}

}  // namespace
