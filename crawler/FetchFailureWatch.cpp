#include "crawler/FetchFailureWatch.h"

namespace velt {

std::optional<std::string> FetchFailureWatch::Note(const std::string& fetchError,
                                                   RepeatedLineFilter::Clock::time_point now) {
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
