// The whole program's crawl through its window: the up-down bounds the
// workers, and closing the window waits for them before the database is
// compacted and closed.
#include <gmock/gmock.h>

#include <QDir>
#include <QLabel>
#include <set>

#include "crawler/ThreadCreator.h"
#include "tests/app/CrawlingWindow.h"
#include "tools/kbsite/SiteModel.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const kbsite::SiteModel kSiteModel{1};  // the site's default seed

std::vector<std::string> ListedUrls(QListWidget& list) {
  std::vector<std::string> urls;
  for (int row = 0; row < list.count(); ++row) urls.push_back(list.item(row)->text().toStdString());
  return urls;
}

// Each worker's row holds the status the site answered for its number.
void ExpectRowsWrittenByTheirWorkers(const ResCodes& rows, const std::vector<std::string>& urls) {
  for (const std::string& url : urls) {
    const int number = ArticleNumber(url);
    const auto row = rows.find(std::to_string(number));
    ASSERT_NE(row, rows.end()) << url;
    EXPECT_EQ(row->second, kSiteModel.ArticleFor(number).status) << url;
  }
}

class WindowCrawl : public CrawlingWindow {};

TEST_F(WindowCrawl, AtMostFiveRunAndClosingWaitsForThemBeforeCompacting) {
  StartSite(200ms);
  // The dispatcher runs from the start, but position 0 claims nothing.
  ServeEventsFor(1s);
  EXPECT_THAT(WindowRows(), IsEmpty());
  EXPECT_THAT(watch_->Added(), IsEmpty());

  watch_->SetLimit(5);
  SetThreadCount(5);
  ServeEventsFor(3s);
  EXPECT_EQ(watch_->MostLines(), 5);
  EXPECT_THAT(watch_->OverLimit(), IsEmpty());
  // The downloader tab's progress line has counted the crawl.
  EXPECT_THAT(Control<QLabel>("LblProgress").text().toStdString(),
              AllOf(HasSubstr("PROGRESS"), Not(HasSubstr("HIGHEST CLAIMED: NONE"))));
  const std::vector<std::string> claimed = watch_->Added();
  for (size_t i = 0; i < claimed.size(); ++i) {
    EXPECT_EQ(claimed[i], ArticleBaseUrl + std::to_string(100000 + i));
  }

  ASSERT_GT(Lines(), 0) << "the window should close while workers run";
  std::vector<std::string> inFlight;
  for (const auto& [kbid, code] : WindowRows()) {
    if (code == 0) inFlight.push_back(ArticleBaseUrl + kbid);
  }
  ASSERT_FALSE(inFlight.empty());

  CloseWindow();
  const std::vector<std::string> allClaimed = watch_->Added();
  EXPECT_EQ(watch_->Removed(), static_cast<int>(allClaimed.size())) << "every worker removed its line";
  EXPECT_EQ(Database, nullptr);
  // Compaction leaves no copy behind, whichever way it went.
  EXPECT_THAT(QDir(QString::fromStdString(db_.Folder())).entryList({"!mdb*"}, QDir::Files), IsEmpty());

  TDatabaseJet reopened;
  std::string error;
  ASSERT_TRUE(reopened.Open("", "", db_.Path(), error)) << error;
  const ResCodes rows = ReadResCodes(reopened);
  EXPECT_EQ(rows.size(), allClaimed.size());
  ExpectRowsWrittenByTheirWorkers(rows, allClaimed);
  ExpectRowsWrittenByTheirWorkers(rows, inFlight);
  std::set<int> served;
  for (const std::string& line : site_->ServedLines()) served.insert(std::stoi(line.substr(5, 6)));
  EXPECT_EQ(served.size(), allClaimed.size());
}

TEST_F(WindowCrawl, LoweringThePositionStopsNoWorkerAndHoldsBackNewOnes) {
  StartSite(300ms);
  SetThreadCount(5);
  ASSERT_TRUE(ServeEventsUntil([&] { return Lines() == 5; }, 5s));

  // No event is served between these steps, so no worker can end or start.
  SetThreadCount(2);
  watch_->SetLimit(2);
  const std::vector<std::string> running = ListedUrls(Control<QListWidget>("LboxThreads"));
  const size_t addedBefore = watch_->Added().size();
  const int removedBefore = watch_->Removed();

  ASSERT_TRUE(ServeEventsUntil([&] { return watch_->Added().size() >= addedBefore + 3; }, 10s));
  EXPECT_THAT(watch_->OverLimit(), IsEmpty()) << "a worker started while two or more ran";
  EXPECT_GE(watch_->Removed(), removedBefore + 5);
  ExpectRowsWrittenByTheirWorkers(WindowRows(), running);
}

}  // namespace
}  // namespace velt::test
