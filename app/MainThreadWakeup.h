// Connects the main-thread hand-off (platform/MainThread.h) to the GUI
// event loop: each step that another thread queues makes the loop serve
// the queue soon. While the object lives, a QCoreApplication must exist;
// destroy it before the application. Create it on the main thread.
#pragma once

namespace velt {

class ScopedMainThreadWakeup {
 public:
  ScopedMainThreadWakeup();
  ~ScopedMainThreadWakeup();
  ScopedMainThreadWakeup(const ScopedMainThreadWakeup&) = delete;
  ScopedMainThreadWakeup& operator=(const ScopedMainThreadWakeup&) = delete;
};

}  // namespace velt
