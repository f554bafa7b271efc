// The user's cap on fetch starts per second over all workers (--max-rate),
// for sites that must not be loaded: starts are spaced evenly, and a start
// that came late does not let the next ones catch up in a burst.
//
// A rate of 0 sets no cap. A plain value with the clock handed in; the
// dispatcher's thread alone uses it.
#pragma once

#include <chrono>

namespace velt {

class RatePacing {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RatePacing(double startsPerSecond);

  bool Ready(Clock::time_point now) const { return now >= next_; }
  Clock::time_point NextStart() const { return next_; }
  void Started(Clock::time_point now);

 private:
  Clock::duration spacing_{0};
  Clock::time_point next_{};
};

}  // namespace velt
