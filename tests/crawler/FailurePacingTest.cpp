#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "crawler/FailurePacing.h"
#include "crawler/FetchFailureWatch.h"

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

TEST(FailurePacingTest, FailingFetchesAreLoggedAfterTenInARowAndAtMostOnceAMinuteEach) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> fetches;  // seconds after the start, error ("" = answered)
    std::vector<std::string> lines;  // the error text each written line ends with
  };
  const std::string refused = "Connection refused";
  const std::string& line = refused;
  auto failures = [&](int count, int at) {
    return std::vector<std::pair<int, std::string>>(count, {at, refused});
  };
  auto join = [](std::vector<std::pair<int, std::string>> a, const std::vector<std::pair<int, std::string>>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {"nine are not yet a pattern", failures(9, 0), {}},
      {"the tenth speaks, the next ones within the minute do not", failures(25, 0), {line}},
      {"an answer resets the count", join(join(failures(9, 0), {{0, ""}}), failures(9, 0)), {}},
      {"the same line again after a minute", join(failures(10, 0), failures(1, 60)), {line, line}},
      {"a new error text is a new line",
       join(failures(10, 0), {{1, "Connection timed out"}}),
       {line, "Connection timed out"}},
      {"a streak after an answer within the minute stays quiet",
       join(join(failures(10, 0), {{1, ""}}), failures(10, 2)), {line}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchFailureWatch watch;
    const auto t0 = RepeatedLineFilter::Clock::now();
    std::vector<std::string> written;
    for (const auto& [seconds, error] : c.fetches) {
      if (auto l = watch.Note(error, false, t0 + std::chrono::seconds(seconds))) written.push_back(*l);
    }
    ASSERT_EQ(written.size(), c.lines.size());
    for (size_t i = 0; i < written.size(); ++i) EXPECT_TRUE(written[i].ends_with(c.lines[i])) << written[i];
  }
}

TEST(FailurePacingTest, OnlyFetchesWithoutAnyAnswerMakeTheSiteUnreachable) {
  const auto now = RepeatedLineFilter::Clock::now();
  FetchFailureWatch watch;
  for (int i = 0; i < 9; ++i) watch.Note("Connection refused", false, now);
  watch.Note("SITE ANSWERED 503", true, now);
  for (int i = 0; i < 9; ++i) watch.Note("Connection refused", false, now);
  EXPECT_FALSE(watch.Unreachable()) << "a busy answer between them";
  watch.Note("Connection refused", false, now);
  EXPECT_TRUE(watch.Unreachable());
  watch.Note("SITE ANSWERED 503", true, now);
  EXPECT_FALSE(watch.Unreachable());
}

}  // namespace
}  // namespace velt
