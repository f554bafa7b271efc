#include "crawler/FetchOutcomes.h"

#include <utility>

namespace velt {

void FetchOutcomes::Add(FetchOutcome outcome) {
  std::lock_guard hold(mutex_);
  outcomes_.push_back(std::move(outcome));
}

std::vector<FetchOutcome> FetchOutcomes::Take() {
  std::vector<FetchOutcome> taken;
  std::lock_guard hold(mutex_);
  taken.swap(outcomes_);
  return taken;
}

}  // namespace velt
