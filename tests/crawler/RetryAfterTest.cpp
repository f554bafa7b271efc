// The rules of a fetch without a result: the Retry-After that a site asks
// for, the back-off without one, and the answer cut short of its length.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "crawler/RetryAfter.h"
#include "crawler/RetrySchedule.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using std::chrono::seconds;

TEST(RetryAfterTest, SecondsOrADateAreWaitedForAtMostADay) {
  // 1994-11-06 08:49:37 UTC, the day of the date forms' own examples.
  const auto now = std::chrono::sys_days(std::chrono::year(1994) / 11 / 6) + 8h + 49min + 37s;
  const struct {
    const char* value;
    std::optional<seconds> wait;
  } cases[] = {
      {"120", 120s},
      {"0", 0s},
      {"601", 601s},
      {"3600", 3600s},
      {"86401", 86400s},
      {"99999999999999999999", 86400s},
      {"Sun, 06 Nov 1994 08:50:07 GMT", 30s},
      {"Sunday, 06-Nov-94 08:51:37 GMT", 120s},
      {"Sun Nov  6 08:49:47 1994", 10s},
      {"Sun, 06 Nov 1994 08:49:36 GMT", 0s},  // already past
      {"Sat, 05 Nov 1994 08:49:37 GMT", 0s},
      {"Mon, 07 Nov 1994 08:49:37 GMT", 86400s},
      {"Sun, 06 Nov 1994 09:49:37 GMT", 3600s},
      {"Tue, 08 Nov 1994 08:49:37 GMT", 86400s},
      {"", std::nullopt},
      {"-5", std::nullopt},
      {"1.5", std::nullopt},
      {"soon", std::nullopt},
      {"Sun, 31 Feb 1994 08:49:37 GMT", std::nullopt},
      {"Sun, 06 Nov 1994 08:49:37 CET", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseRetryAfter(c.value, now), c.wait) << "'" << c.value << "'";
}

TEST(RetryAfterTest, TheBackOffDoublesFromTwoSecondsUpToFiveMinutes) {
  const std::pair<int, seconds> cases[] = {{1, 2s}, {2, 4s}, {3, 8s}, {5, 32s}, {8, 256s}, {9, 300s}, {40, 300s}};
  for (const auto& [retry, pause] : cases) EXPECT_EQ(BackoffDelay(retry), pause) << retry;
}

}  // namespace
}  // namespace velt
