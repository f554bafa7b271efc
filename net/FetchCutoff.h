// The waits of a fetch under shutdown's cutoff (internal to net/; the
// cutoff itself is set through Http.h).
#pragma once

#include <chrono>

namespace velt::net_detail {

// Raises velt::Error with kFetchAbandonedText once the cutoff has passed.
void RaiseIfCutOff();

// The end of the next slice of a wait that lasts until `until`: at most
// kFetchCutoffCheck from now, so that the waiter looks at the cutoff again.
std::chrono::steady_clock::time_point NextCutoffCheck(std::chrono::steady_clock::time_point until);

}  // namespace velt::net_detail
