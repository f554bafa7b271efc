// When the dispatcher fetches again, claims a new number, or waits: each
// case a sequence of outcomes and questions on a clock of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crawler/RetrySchedule.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using Turn = RetrySchedule::Turn;

// One step: at `at` seconds, an outcome for `kbid` (result, status,
// Retry-After, whether the watch sees its run of failures), or with an
// empty kbid the question what may start, and the expected answer: the
// turn, the number retried and the log line offered.
struct Step {
  int at;
  std::string kbid;
  FetchResult result = FetchResult::Failed;
  int resCode = 0;
  int retryAfter = -1;  // none
  bool failing = false;
  Turn turn = Turn::NewNumber;
  std::string expected = "";  // the retried number, or the log line
};

Step Ask(int at, Turn turn, std::string retried = "") { return {at, "", {}, 0, -1, false, turn, retried}; }
Step Fails(int at, std::string kbid, bool failing = false) { return {at, kbid, FetchResult::Failed, 0, -1, failing}; }
Step Stores(int at, std::string kbid, std::string line = "") {
  return {at, kbid, FetchResult::Stored, 200, -1, false, Turn::NewNumber, line};
}
Step Busy(int at, std::string kbid, int code, int retryAfter, std::string line = "") {
  return {at, kbid, FetchResult::Transient, code, retryAfter, false, Turn::NewNumber, line};
}
Step DiskFull(int at, std::string kbid, std::string line = "") {
  return {at, kbid, FetchResult::NotStored, 200, -1, false, Turn::NewNumber, line};
}

// A refresh's gone answer, which the dispatcher holds unwritten.
Step Held(int at, std::string kbid, std::string line = "") {
  return {at, kbid, FetchResult::Held, 404, -1, false, Turn::NewNumber, line};
}

void Play(const std::vector<Step>& steps) {
  RetrySchedule schedule;
  const auto t0 = RetrySchedule::Clock::now();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    const auto now = t0 + std::chrono::seconds(s.at);
    if (s.kbid.empty()) {
      RetrySchedule::Retry retry;
      ASSERT_EQ(schedule.Next(now, retry), s.turn);
      if (s.turn == Turn::Retry) {
        EXPECT_EQ(retry.kbid, s.expected);
      }
      continue;
    }
    FetchOutcome outcome{s.kbid, "u" + s.kbid, s.result, s.resCode, std::nullopt, "",
                         s.result == FetchResult::NotStored, std::nullopt, Refreshed::No, ""};
    if (s.retryAfter >= 0) outcome.retryAfter = std::chrono::seconds(s.retryAfter);
    EXPECT_EQ(schedule.Note(outcome, s.failing, now).value_or(""), s.expected);
  }
}

TEST(RetryScheduleTest, AFailedNumberGoesFirstOnceItsBackOffHasPassed) {
  Play({Fails(0, "100001"), Ask(1, Turn::NewNumber), Ask(2, Turn::Retry, "100001"), Ask(2, Turn::NewNumber),
       Fails(3, "100001"), Ask(6, Turn::NewNumber), Ask(7, Turn::Retry, "100001"), Stores(8, "100001"),
       Ask(100, Turn::NewNumber)});
}

TEST(RetryScheduleTest, ANumberIsRetriedFiveTimesAndThenLeftForTheNextStart) {
  std::vector<Step> steps = {Fails(0, "100001")};
  for (int retry = 1, at = 0; retry <= RetrySchedule::MaxRetries; ++retry) {
    at += static_cast<int>(BackoffDelay(retry).count());
    steps.push_back(Ask(at, Turn::Retry, "100001"));
    steps.push_back(Fails(at, "100001"));
  }
  steps.push_back(Ask(100000, Turn::NewNumber));
  Play(steps);
}

TEST(RetryScheduleTest, ABusySitesRetryAfterHoldsBackEveryStartWithOneLinePerPause) {
  Play({Busy(0, "100001", 503, 30, "SITE ASKS TO WAIT:30 SECONDS"), Busy(1, "100002", 429, 40), Fails(2, "100003"),
       Ask(29, Turn::Wait), Ask(40, Turn::Wait), Ask(41, Turn::Retry, "100003"), Ask(41, Turn::Retry, "100001"),
       Ask(41, Turn::Retry, "100002"), Busy(50, "100002", 429, 5, "SITE ASKS TO WAIT:5 SECONDS"),
       // A 504's Retry-After paces its own number only.
       Busy(55, "100004", 504, 60), Ask(55, Turn::Retry, "100002"), Ask(56, Turn::NewNumber)});
}

TEST(RetryScheduleTest, AnOutageIsProbedOneNumberAtATimeUntilAnAnswerComes) {
  Play({Fails(0, "100001"), Fails(0, "100002", true), Ask(1, Turn::Wait), Ask(2, Turn::Retry, "100001"),
       Ask(2, Turn::Wait),  // one probe at a time
       Fails(3, "100001", true), Ask(6, Turn::Wait), Ask(7, Turn::Retry, "100002"), Fails(7, "100002", true),
       Ask(14, Turn::Wait), Ask(15, Turn::Retry, "100001"),
       // The answer ends the outage: what waited goes at once, then new numbers.
       Stores(16, "100001", "SITE ANSWERS AGAIN"), Ask(16, Turn::Retry, "100002"), Ask(16, Turn::NewNumber)});
}

TEST(RetryScheduleTest, ABusyAnswerToAProbeEndsTheOutageAndItsRetryAfterSetsThePace) {
  Play({Fails(0, "100001"), Fails(0, "100002", true), Ask(2, Turn::Retry, "100001"), Fails(2, "100001", true),
        Ask(6, Turn::Retry, "100001"),
        Busy(6, "100001", 503, 1, "SITE ANSWERS AGAIN"), Ask(6, Turn::Wait), Ask(7, Turn::Retry, "100002"),
        Ask(7, Turn::Retry, "100001"), Ask(7, Turn::NewNumber),
        // Busy answers start no outage, however many come in a row.
        {8, "100003", FetchResult::Transient, 502, -1, true}, Ask(8, Turn::NewNumber)});
  Play({Fails(0, "100001", true), Ask(2, Turn::Retry, "100001"), Busy(2, "100001", 502, -1, "SITE ANSWERS AGAIN"),
        Ask(3, Turn::NewNumber), Ask(4, Turn::Retry, "100001")});
}

TEST(RetryScheduleTest, AFullDiskPausesTheCrawlAndOneRowAtATimeTriesAgainUntilOneIsStored) {
  std::vector<Step> steps = {DiskFull(0, "100001", "DATABASE FULL: THE CRAWL WAITS FOR SPACE ON THE DISK"),
                             DiskFull(0, "100002"), Ask(1, Turn::Wait)};
  // Never given up, however often the disk is still full.
  for (int at = 5; at <= 60; at += 5) {
    steps.push_back(Ask(at, Turn::Retry, at % 10 == 5 ? "100001" : "100002"));
    steps.push_back(Ask(at, Turn::Wait));
    steps.push_back(DiskFull(at, at % 10 == 5 ? "100001" : "100002"));
  }
  steps.push_back(Ask(65, Turn::Retry, "100001"));
  steps.push_back(Stores(66, "100001", "DATABASE WRITES AGAIN: THE CRAWL GOES ON"));
  steps.push_back(Ask(66, Turn::Retry, "100002"));
  steps.push_back(Ask(66, Turn::NewNumber));
  Play(steps);
}

TEST(RetryScheduleTest, AHeldGoneAnswerEndsAnOutageButNeitherEndsNorProbesAFullDisksPause) {
  Play({Fails(0, "100001"), Fails(0, "100002", true), Ask(2, Turn::Retry, "100001"),
        Held(2, "100001", "SITE ANSWERS AGAIN"), Ask(2, Turn::Retry, "100002"), Ask(2, Turn::NewNumber),
        Ask(100, Turn::NewNumber)});
  Play({DiskFull(0, "100001", "DATABASE FULL: THE CRAWL WAITS FOR SPACE ON THE DISK"), Held(1, "100002"),
        Ask(1, Turn::Wait), Ask(5, Turn::Retry, "100001"), Held(5, "100001"), Ask(5, Turn::Wait),
        Ask(10, Turn::Retry, "100001"), Stores(10, "100001", "DATABASE WRITES AGAIN: THE CRAWL GOES ON"),
        Ask(10, Turn::NewNumber)});
}

}  // namespace
}  // namespace velt
