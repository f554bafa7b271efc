#include "crawler/RatePacing.h"

#include <algorithm>

namespace velt {

RatePacing::RatePacing(double startsPerSecond) {
  if (startsPerSecond > 0) {
    spacing_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / startsPerSecond));
  }
}

void RatePacing::Started(Clock::time_point now) {
  if (spacing_.count() > 0) next_ = std::max(now, next_) + spacing_;
}

}  // namespace velt
