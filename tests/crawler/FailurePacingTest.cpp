#include <gtest/gtest.h>

#include "crawler/FailurePacing.h"

namespace velt {
namespace {

using namespace std::chrono_literals;

TEST(FailurePacingTest, AnIdenticalLineIsWrittenAgainOnlyAfterAQuietMinute) {
  RepeatedLineFilter filter;
  const auto t0 = RepeatedLineFilter::Clock::now();
  EXPECT_TRUE(filter.ShouldWrite("disk full", t0));
  EXPECT_FALSE(filter.ShouldWrite("disk full", t0 + 1s));
  EXPECT_TRUE(filter.ShouldWrite("locked", t0 + 2s));
  EXPECT_FALSE(filter.ShouldWrite("disk full", t0 + 59s));
  EXPECT_TRUE(filter.ShouldWrite("disk full", t0 + 60s));
  EXPECT_FALSE(filter.ShouldWrite("disk full", t0 + 61s));
  EXPECT_TRUE(filter.ShouldWrite("locked", t0 + 62s));
}

TEST(FailurePacingTest, FailedPassesBackOffUpToAboutASecondAndASuccessResets) {
  FailureBackoff backoff;
  EXPECT_EQ(backoff.AfterPass(false), FailureBackoff::NormalPause);
  std::chrono::milliseconds last{0};
  for (int i = 0; i < 20; ++i) {
    const auto pause = backoff.AfterPass(true);
    EXPECT_GE(pause, last);
    EXPECT_LE(pause, FailureBackoff::MaxPause);
    last = pause;
  }
  EXPECT_EQ(last, FailureBackoff::MaxPause);
  EXPECT_EQ(backoff.AfterPass(false), FailureBackoff::NormalPause);
  EXPECT_EQ(backoff.AfterPass(true), FailureBackoff::FirstFailurePause);
}

}  // namespace
}  // namespace velt
