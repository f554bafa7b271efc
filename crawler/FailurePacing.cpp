#include "crawler/FailurePacing.h"

#include <algorithm>

namespace velt {

bool RepeatedLineFilter::ShouldWrite(const std::string& line, Clock::time_point now) {
  // Lines older than the quiet period are forgotten, so a cause that keeps
  // changing its text cannot make the map grow without end.
  std::erase_if(lastWritten_, [now](const auto& entry) { return now - entry.second >= QuietPeriod; });
  const auto [it, fresh] = lastWritten_.try_emplace(line, now);
  return fresh;
}

std::chrono::milliseconds FailureBackoff::AfterPass(bool failed) {
  if (!failed) {
    current_ = std::chrono::milliseconds(0);
    return NormalPause;
  }
  current_ = current_.count() == 0 ? FirstFailurePause : std::min(current_ * 2, MaxPause);
  return current_;
}

}  // namespace velt
