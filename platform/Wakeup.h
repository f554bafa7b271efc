// A wake-up call for a thread that has nothing to do until something
// changes or a due time comes, so that it sleeps instead of polling.
//
// Signal may come from any thread, also before the sleeper begins to wait:
// it is kept until the next wait returns, so none is lost between the
// sleeper's last look and its wait. A wait returns on the first signal or
// at the due time (Clock::time_point::max() for none), whichever comes
// first, and consumes the signal; it says whether a signal ended it. One
// sleeper at a time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velt {

class Wakeup {
 public:
  using Clock = std::chrono::steady_clock;

  void Signal();
  bool WaitUntil(Clock::time_point due);

 private:
  std::mutex mutex_;
  std::condition_variable condition_;
  bool signalled_ = false;
};

}  // namespace velt
