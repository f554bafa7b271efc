// The retry box on the real window: with it on, the lowest row last
// answered 302 is fetched again before any new number, for as long as it
// keeps answering 302; a never-fetched row still goes first.
#include <gmock/gmock.h>

#include <QCheckBox>

#include "crawler/ThreadCreator.h"
#include "store/DatabaseIO.h"
#include "tests/app/CrawlingWindow.h"
#include "tools/kbsite/SiteModel.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;

std::string UrlOf(int number) { return ArticleBaseUrl + std::to_string(number); }

// The first numbers from 100000 up that the site answers with the status.
std::vector<int> NumbersAnswering(int status, size_t count) {
  const kbsite::SiteModel model{1};  // the site's default seed
  std::vector<int> numbers;
  for (int number = kbsite::kFirstArticle; numbers.size() < count; ++number) {
    if (model.ArticleFor(number).status == status) numbers.push_back(number);
  }
  return numbers;
}

class WindowRetry302 : public CrawlingWindow {
 protected:
  void InsertRow(int number, const char* resCode) {
    const std::string kbid = std::to_string(number);
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(" + SqlQuote(kbid) + "," + SqlQuote(UrlOf(number)) + "," +
         resCode + ")");
  }
};

TEST_F(WindowRetry302, LowestRedirectIsFetchedAgainBeforeAnyNewNumber) {
  const std::vector<int> redirected = NumbersAnswering(302, 3);
  const int pending = redirected.back() + 1;
  const int largest = redirected.back() + 40;
  for (int number : redirected) InsertRow(number, "302");
  InsertRow(pending, "NULL");
  InsertRow(largest, "200");

  StartSite(100ms);
  Control<QCheckBox>("ChkRetry302").click();
  SetThreadCount(1);
  ASSERT_TRUE(ServeEventsUntil([&] { return watch_->Added().size() >= 5; }, 10s));
  const std::vector<std::string> retried = watch_->Added();
  EXPECT_EQ(retried[0], UrlOf(pending));
  for (size_t i = 1; i < retried.size(); ++i) EXPECT_EQ(retried[i], UrlOf(redirected[0])) << i;
  const ResCodes rows = WindowRows();
  EXPECT_EQ(rows.at(std::to_string(redirected[1])), 302);
  EXPECT_EQ(rows.at(std::to_string(redirected[2])), 302);

  // With the box off again the crawl moves on past the largest number.
  Control<QCheckBox>("ChkRetry302").click();
  ASSERT_TRUE(ServeEventsUntil([&] { return watch_->Added().back() != UrlOf(redirected[0]); }, 10s));
  EXPECT_EQ(watch_->Added().back(), UrlOf(largest + 1));
}

}  // namespace
}  // namespace velt::test
