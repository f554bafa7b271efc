#include <gtest/gtest.h>

#include <vector>

#include "crawler/RatePacing.h"

namespace velt {
namespace {

using namespace std::chrono_literals;

// At `at` ms the dispatcher asks whether it may start and, if so, starts.
TEST(RatePacingTest, StartsAreSpacedEvenlyAndALateOneBringsNoBurst) {
  const struct {
    double rate;
    std::vector<int> asks;
    std::vector<bool> ready;
  } cases[] = {
      {0, {0, 0, 0}, {true, true, true}},  // no cap
      {2, {0, 100, 499, 500, 999, 1000}, {true, false, false, true, false, true}},
      {0.5, {0, 1999, 2000}, {true, false, true}},
      {10, {0, 5000, 5001, 5099, 5100}, {true, true, false, false, true}},  // late: spaced from then on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    RatePacing pacing(c.rate);
    const auto t0 = RatePacing::Clock::now();
    for (size_t i = 0; i < c.asks.size(); ++i) {
      const auto now = t0 + std::chrono::milliseconds(c.asks[i]);
      EXPECT_EQ(pacing.Ready(now), c.ready[i]) << c.asks[i];
      if (pacing.Ready(now)) pacing.Started(now);
    }
  }
}

}  // namespace
}  // namespace velt
