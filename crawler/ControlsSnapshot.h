// The window's controls as the main thread last read them for the
// dispatcher, handed over without a wait.
//
// A pass hands its claim to the main thread and pauses; the claim step,
// once its worker has started, reads the controls and offers them here, and
// the next pass takes them instead of asking the main thread again. Lines
// are added to the worker list only by claim steps, so counting down the
// lines that go meanwhile keeps the offered count equal to the list's. An
// offer serves one pass only: a user's change reaches the dispatcher at
// most one pass later than a reading of its own would.
//
// A removed line is a worker's end, which may let the dispatcher start
// another: it wakes the dispatcher (the wake-up it was made with).
//
// Offer, LineRemoved and Withdraw run on the main thread, Take on the
// dispatcher; what the claim step wrote before its offer is visible to the
// taker.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "platform/Wakeup.h"

namespace velt {

struct CrawlControls {
  int maxThreads = 0;
  int threadCount = 0;
  bool retry302 = false;
  int refreshDays = -1;  // off
};

class ControlsSnapshot {
 public:
  explicit ControlsSnapshot(std::shared_ptr<Wakeup> dispatcher = nullptr) : dispatcher_(std::move(dispatcher)) {}

  void Offer(const CrawlControls& controls);
  void LineRemoved();
  void Withdraw();
  // The offer, if one stands; it is gone afterwards.
  std::optional<CrawlControls> Take();

 private:
  const std::shared_ptr<Wakeup> dispatcher_;
  std::mutex mutex_;
  std::optional<CrawlControls> offer_;
};

}  // namespace velt
