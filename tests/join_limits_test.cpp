#include "join_limits.h"

#include <gtest/gtest.h>

namespace {

RecentJoins StartedAt(std::initializer_list<std::pair<const char*, uint64_t>> starts) {
  RecentJoins recent;
  for (const auto& [query, atMs] : starts) NoteJoinStarted(recent, query, atMs);
  return recent;
}

TEST(DecideJoinTest, RepeatsWithinFiveSecondsAndFloodsStartNothing) {
  using enum JoinDecision;
  struct Case {
    RecentJoins recent;
    const char* query;
    uint64_t nowMs;
    size_t running;
    JoinDecision expected;
  };
  const Case cases[] = {
      {{}, "game=a", 0, 0, Start},
      {StartedAt({{"game=a", 1000}}), "game=a", 5999, 1, SameJoinAgain},
      {StartedAt({{"game=a", 1000}}), "game=a", 6000, 1, Start},
      {StartedAt({{"game=a", 1000}}), "game=A", 1000, 1, Start},  // byte for byte
      {StartedAt({{"game=a b", 1000}}), "game=a%20b", 1000, 1, Start},
      {StartedAt({{"game=a", 0}, {"game=b", 3000}, {"game=a", 4000}}), "game=a", 8000, 1, SameJoinAgain},
      {{}, "game=a", 0, 3, Start},
      {{}, "game=a", 0, 4, TooMany},
      {StartedAt({{"game=a", 0}}), "game=a", 10, 4, SameJoinAgain},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(DecideJoin(cases[i].recent, cases[i].query, cases[i].nowMs, cases[i].running), cases[i].expected)
        << "row " << i;
}

}  // namespace
