// When a join starts a launcher and when it does not. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A join repeated within this time of its last start is a double click or a page that
// repeats itself: it already has its launcher.
inline constexpr uint64_t kSameJoinWindowMs = 5000;
// Every launcher that succeeds opens a RetroArch; more at once is a flood, not a player.
inline constexpr size_t kMaxRunningLaunchers = 4;

enum class JoinDecision { Start, SameJoinAgain, TooMany };

// The queries whose launcher was started within the last kSameJoinWindowMs.
struct RecentJoins {
  struct Start {
    std::string query;
    uint64_t atMs = 0;
  };
  std::vector<Start> starts;
};

// What to do with a join at nowMs while `running` launchers of this listener still run.
// A repeated join counts as started even when the limit is reached.
JoinDecision DecideJoin(const RecentJoins& recent, std::string_view query, uint64_t nowMs,
                        size_t running);

// Remembers that query started a launcher at nowMs, and forgets starts that are too old
// to matter, so the list stays as short as the last few seconds.
void NoteJoinStarted(RecentJoins& recent, std::string_view query, uint64_t nowMs);
