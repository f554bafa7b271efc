// The retry box on the real window: with it on, the rows last answered 302
// are fetched again upwards, each once however it answers, before any new
// number; a never-fetched row still goes first.
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

TEST_F(WindowRetry302, EachRedirectIsFetchedOnceUpwardsBeforeAnyNewNumber) {
  const std::vector<int> redirected = NumbersAnswering(302, 3);
  const int pending = redirected.back() + 1;
  const int largest = redirected.back() + 40;
  for (int number : redirected) InsertRow(number, "302");
  InsertRow(pending, "NULL");
  InsertRow(largest, "200");

  StartSite(100ms);
  Control<QCheckBox>("ChkRetry302").click();
  SetThreadCount(1);
  // Long enough for a retry that picks a row again to have done so often.
  ASSERT_TRUE(ServeEventsUntil([&] { return watch_->Added().size() >= 7; }, 20s));
  const std::vector<std::string> fetched(watch_->Added().begin(), watch_->Added().begin() + 7);
  EXPECT_EQ(fetched, (std::vector<std::string>{UrlOf(pending), UrlOf(redirected[0]), UrlOf(redirected[1]),
                                               UrlOf(redirected[2]), UrlOf(largest + 1), UrlOf(largest + 2),
                                               UrlOf(largest + 3)}));
  const ResCodes rows = WindowRows();
  for (int number : redirected) EXPECT_EQ(rows.at(std::to_string(number)), 302) << number;
}

}  // namespace
}  // namespace velt::test
