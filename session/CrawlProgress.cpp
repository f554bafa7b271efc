#include "session/CrawlProgress.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace velt {

void CrawlProgress::Claimed(const std::string& url) {
  int number = 0;
  if (url.size() >= 6 &&
      std::from_chars(url.data() + url.size() - 6, url.data() + url.size(), number).ec == std::errc()) {
    highest_ = std::max(highest_, number);
  }
}

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

void CrawlProgress::Refreshed(velt::Refreshed result) {
  if (result == Refreshed::Unchanged) ++unchanged_;
  if (result == Refreshed::Changed) ++changed_;
  if (result == Refreshed::Gone) ++withdrawn_;
}

std::string CrawlProgress::Line(Clock::time_point now) {
  const std::int64_t stored = found_ + absent_ + other_;
  const double seconds = std::chrono::duration<double>(now - intervalStart_).count();
  const double perSecond = seconds > 0 ? static_cast<double>(stored - storedBeforeInterval_) / seconds : 0.0;
  storedBeforeInterval_ = stored;
  intervalStart_ = now;
  char text[320];
  std::snprintf(text, sizeof text,
                "PROGRESS: 200: %lld, 302: %lld, OTHER: %lld, FAILED OR BUSY: %lld, RETRIES PENDING: %d, "
                "%.1f ARTICLES/S, HIGHEST CLAIMED: %s, REFRESHED: %lld UNCHANGED, %lld CHANGED, %lld WITHDRAWN",
                static_cast<long long>(found_), static_cast<long long>(absent_), static_cast<long long>(other_),
                static_cast<long long>(missed_), retriesPending_, perSecond,
                highest_ > 0 ? std::to_string(highest_).c_str() : "NONE", static_cast<long long>(unchanged_),
                static_cast<long long>(changed_), static_cast<long long>(withdrawn_));
  return text;
}

}  // namespace velt
