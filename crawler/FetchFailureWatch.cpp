#include "crawler/FetchFailureWatch.h"

#include <algorithm>

namespace velt {

std::optional<std::string> FetchFailureWatch::Note(const std::string& fetchError, bool answered,
                                                   RepeatedLineFilter::Clock::time_point now) {
  const bool unanswered = !fetchError.empty() && !answered;
  unansweredInARow_ = unanswered ? std::min(unansweredInARow_ + 1, FailuresInARow) : 0;
  if (fetchError.empty()) {
    inARow_ = 0;
    return std::nullopt;
  }
  if (inARow_ < FailuresInARow) ++inARow_;
  if (inARow_ < FailuresInARow) return std::nullopt;
  std::string line = "FETCHES FAILING IN A ROW: " + fetchError;
  if (!lines_.ShouldWrite(line, now)) return std::nullopt;
  return line;
}

}  // namespace velt
