#include "join_limits.h"

#include <algorithm>

namespace {

bool Recent(const RecentJoins::Start& start, uint64_t nowMs) {
  return nowMs - start.atMs < kSameJoinWindowMs;
}

}  // namespace

JoinDecision DecideJoin(const RecentJoins& recent, std::string_view query, uint64_t nowMs,
                        size_t running) {
  for (const RecentJoins::Start& start : recent.starts) {
    if (start.query == query && Recent(start, nowMs)) return JoinDecision::SameJoinAgain;
  }
  return running >= kMaxRunningLaunchers ? JoinDecision::TooMany : JoinDecision::Start;
}

void NoteJoinStarted(RecentJoins& recent, std::string_view query, uint64_t nowMs) {
  std::erase_if(recent.starts, [&](const RecentJoins::Start& start) {
    return start.query == query || !Recent(start, nowMs);
  });
  recent.starts.push_back({std::string(query), nowMs});
}
