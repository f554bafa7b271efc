// The real window crawling with 30 workers on connections that are
// accepted and never answered, with the program's standard time limits:
// closing the window must end within one receive time-out (plus a margin),
// after every worker has ended, each leaving its row claimed.
#include <gtest/gtest.h>

#include <QListWidget>
#include <chrono>

#include "app/UpDown.h"
#include "net/Http.h"
#include "tests/app/CrawlingWindow.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/faults/DatabaseFile.h"
#include "tools/kbsite/SiteProcess.h"

namespace velt::faults {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(HostileSiteWindow, ClosingWhileThirtyWorkersWaitOnSilentServersEndsWithinTheReceiveLimit) {
  kbsite::SiteProcess site({"--silent", "100000-100029"});
  test::TempDatabase db;
  MessageBoxRecorder boxes;
  auto form = std::make_unique<TMainForm>(db.Path(), ArticleBaseUrl);
  ASSERT_TRUE(test::ShowAndAwaitStartup(*form));
  form->findChild<TUpDown*>("UpdnThreadCount")->SetPosition(30);
  const auto& workers = *form->findChild<QListWidget*>("LboxThreads");
  ASSERT_TRUE(test::ServeEventsUntil([&] { return workers.count() == 30; }, 20s));

  const auto closing = Clock::now();
  form.reset();
  const auto closeTime = Clock::now() - closing;
  RecordProperty("close_ms", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(closeTime).count()));
  EXPECT_LT(closeTime, kHttpIoTimeout + 15s);

  const RowCodes rows = ReadRowCodes(db.Path());
  ASSERT_EQ(rows.size(), 30u);
  for (const auto& [kbid, code] : rows) EXPECT_EQ(code, 0) << kbid << ": a fetch that timed out must leave its row claimed";
}

}  // namespace
}  // namespace velt::faults
