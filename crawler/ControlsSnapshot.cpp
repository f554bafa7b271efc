#include "crawler/ControlsSnapshot.h"

#include <utility>

namespace velt {

void ControlsSnapshot::Offer(const CrawlControls& controls) {
  std::lock_guard hold(mutex_);
  offer_ = controls;
}

void ControlsSnapshot::LineRemoved() {
  {
    std::lock_guard hold(mutex_);
    if (offer_) --offer_->threadCount;
  }
  if (dispatcher_) dispatcher_->Signal();
}

void ControlsSnapshot::Withdraw() {
  std::lock_guard hold(mutex_);
  offer_.reset();
}

std::optional<CrawlControls> ControlsSnapshot::Take() {
  std::lock_guard hold(mutex_);
  return std::exchange(offer_, std::nullopt);
}

}  // namespace velt
