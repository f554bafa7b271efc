// The headless crawl's progress line: counts since the start, the pace of
// the last interval only, the highest number claimed.
#include <gmock/gmock.h>

#include "session/CrawlProgress.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;

TEST(CrawlProgress, CountsByResultAndPacesOverTheLastIntervalOnly) {
  const auto t0 = CrawlProgress::Clock::now();
  CrawlProgress progress(t0);
  EXPECT_THAT(progress.Line(t0 + 10s), AllOf(HasSubstr("200: 0,"), HasSubstr(" 0.0 "), HasSubstr("NONE")));

  for (const char* url : {"http://kb.test/kb;ja;100003", "http://kb.test/kb;ja;100001", "http://kb.test/kb;ja;100002"})
    progress.Claimed(url);
  for (int code : {200, 200, 302, 404, 0, 200}) progress.Ended(code, true);  // 0: no status line
  progress.Ended(0, false);    // a failed fetch
  progress.Ended(503, false);  // a busy answer
  progress.RetriesPending(2);
  EXPECT_THAT(progress.Line(t0 + 20s), AllOf(HasSubstr("200: 3,"), HasSubstr("302: 1,"), HasSubstr("OTHER: 2,"),
                                             HasSubstr("FAILED OR BUSY: 2,"), HasSubstr("RETRIES PENDING: 2,"),
                                             HasSubstr(" 0.6 "), HasSubstr("100003")));

  progress.Ended(302, true);
  progress.Claimed("http://kb.test/kb;ja;100004");
  for (Refreshed result : {Refreshed::Unchanged, Refreshed::Unchanged, Refreshed::Changed, Refreshed::Gone,
                           Refreshed::Unchanged})
    progress.Refreshed(result);
  EXPECT_THAT(progress.Line(t0 + 25s),
              AllOf(HasSubstr("302: 2,"), HasSubstr(" 0.2 "), HasSubstr("100004"),
                    HasSubstr("3 UNCHANGED, 1 CHANGED, 1 WITHDRAWN")));
}

}  // namespace
}  // namespace velt
