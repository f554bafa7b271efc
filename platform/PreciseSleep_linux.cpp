#include "platform/PreciseSleep.h"

#include <sys/prctl.h>

#include <thread>

namespace velt {

void SleepPrecisely(std::chrono::milliseconds duration) {
  thread_local const bool slackLowered = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
  (void)slackLowered;  // without it the sleep is merely a little longer
  std::this_thread::sleep_for(duration);
}

}  // namespace velt
