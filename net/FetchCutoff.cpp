#include "net/FetchCutoff.h"

#include <algorithm>
#include <atomic>

#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<Clock::rep> cutoff{Clock::time_point::max().time_since_epoch().count()};

}  // namespace

void SetFetchCutoff(Clock::time_point at) { cutoff = at.time_since_epoch().count(); }

void LiftFetchCutoff() { SetFetchCutoff(Clock::time_point::max()); }

namespace net_detail {

void RaiseIfCutOff() {
  if (Clock::now().time_since_epoch().count() >= cutoff) throw Error(kFetchAbandonedText);
}

Clock::time_point NextCutoffCheck(Clock::time_point until) { return std::min(until, Clock::now() + kFetchCutoffCheck); }

}  // namespace net_detail
}  // namespace velt
