// What a refresh's answer means for a stored row, the date it asks with,
// and the hold on "gone" answers that keeps a broken site from emptying
// the index.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "crawler/RefreshFetch.h"

namespace velt {
namespace {

TEST(RefreshFetch, AnAnswerIsUnchangedChangedOrGoneAsTheStoredCodeWas) {
  struct Case {
    int stored, answered;
    Refreshed result;
  };
  const Case cases[] = {
      {200, 304, Refreshed::Unchanged}, {200, 200, Refreshed::Changed}, {200, 302, Refreshed::Gone},
      {200, 404, Refreshed::Gone},      {200, 410, Refreshed::Gone},    {200, 500, Refreshed::Changed},
      {302, 302, Refreshed::Unchanged}, {302, 200, Refreshed::Changed}, {302, 404, Refreshed::Gone},
      {404, 404, Refreshed::Unchanged}, {500, 404, Refreshed::Gone},    {404, 0, Refreshed::Changed},
  };
  for (const Case& c : cases) EXPECT_EQ(RefreshedBy(c.stored, c.answered), c.result) << c.stored << "->" << c.answered;
}

TEST(RefreshFetch, TheLastFetchIsAskedForAsAnHttpDateInGreenwichTime) {
  const char* saved = std::getenv("TZ");
  const std::string before = saved ? saved : "";
  ::setenv("TZ", "JST-9", 1);  // nine hours ahead, no summer time
  ::tzset();
  EXPECT_EQ(HttpDateOfLocalStamp("20241107174937"), "Thu, 07 Nov 2024 08:49:37 GMT");
  EXPECT_EQ(HttpDateOfLocalStamp("20240101050000"), "Sun, 31 Dec 2023 20:00:00 GMT");
  for (const char* bad : {"", "2024110717493", "2024-11-07 17:4", "not a time at all"})
    EXPECT_EQ(HttpDateOfLocalStamp(bad), "") << bad;
  EXPECT_EQ(ConditionalHeaderLine({200, "Thu, 07 Nov 2024 08:49:37 GMT"}),
            "If-Modified-Since: Thu, 07 Nov 2024 08:49:37 GMT\r\n");
  EXPECT_EQ(ConditionalHeaderLine({302, ""}), "");
  if (saved) {
    ::setenv("TZ", before.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST(RefreshFetch, GoneAnswersWaitForASoundOneAndARunOfTwentyPausesTheRefreshChangingNone) {
  GoneStreak streak;
  for (int i = 0; i < 19; ++i) EXPECT_FALSE(streak.Hold("update " + std::to_string(i)));
  EXPECT_EQ(streak.Release().size(), 19u);  // a sound answer came: they are withdrawals
  EXPECT_TRUE(streak.Release().empty());

  for (int i = 0; i < 19; ++i) EXPECT_FALSE(streak.Hold("update"));
  EXPECT_TRUE(streak.Hold("update"));  // the twentieth in a row: once
  EXPECT_TRUE(streak.Paused());
  EXPECT_FALSE(streak.Hold("update"));
  EXPECT_TRUE(streak.Release().empty()) << "none of the streak may be written";
}

}  // namespace
}  // namespace velt
