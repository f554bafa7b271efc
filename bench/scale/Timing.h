// Wall-clock helpers of the scale benchmark.
#pragma once

#include <algorithm>
#include <chrono>

namespace velt::scale {

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several runs: the one least disturbed by other work on the
// machine.
template <typename Work>
double BestSeconds(int runs, Work&& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(work));
  return best;
}

}  // namespace velt::scale
