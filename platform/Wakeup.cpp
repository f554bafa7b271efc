#include "platform/Wakeup.h"

#include <utility>

namespace velt {

void Wakeup::Signal() {
  {
    std::lock_guard hold(mutex_);
    signalled_ = true;
  }
  condition_.notify_one();
}

bool Wakeup::WaitUntil(Clock::time_point due) {
  std::unique_lock hold(mutex_);
  const auto signalled = [this] { return signalled_; };
  // A wait "until forever" is no timed wait: its deadline would overflow.
  if (due == Clock::time_point::max()) {
    condition_.wait(hold, signalled);
  } else {
    condition_.wait_until(hold, due, signalled);
  }
  return std::exchange(signalled_, false);
}

}  // namespace velt
