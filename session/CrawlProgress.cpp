#include "session/CrawlProgress.h"

#include <algorithm>
#include <cstdio>

namespace velt {

void CrawlProgress::Claimed(int number) { highest_ = std::max(highest_, number); }

void CrawlProgress::Ended(int resCode, bool stored) {
  if (!stored) {
    ++missed_;
  } else if (resCode == 200) {
    ++found_;
  } else if (resCode == 302) {
    ++absent_;
  } else {
    ++other_;
  }
}

std::string CrawlProgress::Line(Clock::time_point now) {
  const std::int64_t stored = found_ + absent_ + other_;
  const double seconds = std::chrono::duration<double>(now - intervalStart_).count();
  const double perSecond = seconds > 0 ? static_cast<double>(stored - storedBeforeInterval_) / seconds : 0.0;
  storedBeforeInterval_ = stored;
  intervalStart_ = now;
  char text[240];
  std::snprintf(text, sizeof text,
                "PROGRESS: 200: %lld, 302: %lld, OTHER: %lld, FAILED OR BUSY: %lld, RETRIES PENDING: %d, "
                "%.1f ARTICLES/S, HIGHEST CLAIMED: %s",
                static_cast<long long>(found_), static_cast<long long>(absent_), static_cast<long long>(other_),
                static_cast<long long>(missed_), retriesPending_, perSecond,
                highest_ > 0 ? std::to_string(highest_).c_str() : "NONE");
  return text;
}

}  // namespace velt
