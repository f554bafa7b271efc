// The workers' word to the dispatcher on how each fetch ended, handed over
// without a wait: a worker adds its outcome as its run ends, and the
// dispatcher takes all that came at the start of its next pass.
//
// Safe from any thread; Add never waits for the main thread or the
// database.
#pragma once

#include <mutex>
#include <vector>

#include "crawler/FetchOutcome.h"

namespace velt {

class FetchOutcomes {
 public:
  void Add(FetchOutcome outcome);
  // Every outcome added since the last call, in the order they came.
  std::vector<FetchOutcome> Take();

 private:
  std::mutex mutex_;
  std::vector<FetchOutcome> outcomes_;
};

}  // namespace velt
