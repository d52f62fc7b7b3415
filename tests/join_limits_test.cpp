#include "join_limits.h"

#include <gtest/gtest.h>

namespace {

RecentJoins StartedAt(std::initializer_list<std::pair<const char*, uint64_t>> starts) {
  RecentJoins recent;
  for (const auto& [query, atMs] : starts) NoteJoinStarted(recent, query, atMs);
  return recent;
}

TEST(DecideJoinTest, RepeatsWithinFiveSecondsAndFloodsStartNothing) {
  struct Case {
    const char* name;
    RecentJoins recent;
    const char* query;
    uint64_t nowMs;
    size_t running;
    JoinDecision expected;
  };
  const Case cases[] = {
      {"first join", {}, "game=a", 0, 0, JoinDecision::Start},
      {"same join 4.999 s later", StartedAt({{"game=a", 1000}}), "game=a", 5999, 1, JoinDecision::SameJoinAgain},
      {"same join 5 s later", StartedAt({{"game=a", 1000}}), "game=a", 6000, 1, JoinDecision::Start},
      {"another join at once", StartedAt({{"game=a", 1000}}), "game=b", 1000, 1, JoinDecision::Start},
      {"byte for byte: case", StartedAt({{"game=a", 1000}}), "game=A", 1000, 1, JoinDecision::Start},
      {"byte for byte: escape", StartedAt({{"game=a b", 1000}}), "game=a%20b", 1000, 1, JoinDecision::Start},
      {"the last start counts", StartedAt({{"game=a", 0}, {"game=a", 4000}}), "game=a", 8000, 1,
       JoinDecision::SameJoinAgain},
      {"three running", {}, "game=a", 0, 3, JoinDecision::Start},
      {"four running", {}, "game=a", 0, 4, JoinDecision::TooMany},
      {"four running, same join again", StartedAt({{"game=a", 0}}), "game=a", 10, 4, JoinDecision::SameJoinAgain},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideJoin(c.recent, c.query, c.nowMs, c.running), c.expected) << c.name;
}

TEST(NoteJoinStartedTest, ForgetsStartsOlderThanTheWindow) {
  RecentJoins recent = StartedAt({{"game=a", 0}, {"game=b", 3000}, {"game=a", 4000}});
  EXPECT_EQ(recent.starts.size(), 2u);  // one per query
  NoteJoinStarted(recent, "game=c", 8500);
  ASSERT_EQ(recent.starts.size(), 2u);
  EXPECT_EQ(recent.starts[0].query, "game=a");
  EXPECT_EQ(recent.starts[1].query, "game=c");
}

}  // namespace
