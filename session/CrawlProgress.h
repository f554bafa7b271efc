// The progress of a headless crawl: the answers stored in this run by
// result (200, 302, anything else), apart from the fetches that failed or
// were answered as busy (not stored; a healthy site has none), the
// articles waiting to be fetched again, the pace of stored answers over
// the last interval and the highest number claimed in this run; with a
// refresh also the stored articles fetched again, by what they proved:
// unchanged, changed, withdrawn.
//
// Line gives the progress line for the interval since the previous call
// (or since construction) and begins the next interval. Main thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "crawler/RefreshFetch.h"

namespace velt {

class CrawlProgress {
 public:
  using Clock = std::chrono::steady_clock;

  explicit CrawlProgress(Clock::time_point start) : intervalStart_(start) {}

  // A worker's URL, which ends with the six digits of its number.
  void Claimed(const std::string& url);
  void Ended(int resCode, bool stored);
  void RetriesPending(int count) { retriesPending_ = count; }
  void Refreshed(velt::Refreshed result);
  std::string Line(Clock::time_point now);

 private:
  std::int64_t found_ = 0;
  std::int64_t absent_ = 0;
  std::int64_t other_ = 0;
  std::int64_t missed_ = 0;
  int retriesPending_ = 0;
  std::int64_t unchanged_ = 0;
  std::int64_t changed_ = 0;
  std::int64_t withdrawn_ = 0;
  int highest_ = 0;
  std::int64_t storedBeforeInterval_ = 0;
  Clock::time_point intervalStart_;
};

}  // namespace velt
