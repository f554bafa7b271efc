// A pause as close to its length as the system allows.
//
// The system may let a sleeping thread oversleep by its timer slack (tens of
// microseconds by default) to save wake-ups; for a loop that pauses a
// millisecond at a time that slack is a noticeable share of its pace.
// SleepPrecisely sets the calling thread's slack to the least on its first
// use, then sleeps at least the given time. Any thread.
#pragma once

#include <chrono>

namespace velt {

void SleepPrecisely(std::chrono::milliseconds duration);

}  // namespace velt
