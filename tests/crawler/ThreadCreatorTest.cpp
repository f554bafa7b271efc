#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "crawler/ThreadCreator.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "tests/crawler/FakeHost.h"
#include "tests/crawler/TestDatabase.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using testing::FakeHost;
using testing::ServeFor;
using testing::ServeUntil;
using testing::TestDatabase;

// The dispatcher with its workers replaced: each start only adds a line
// to the worker list, as a real worker's construction does, and may run
// the test's own step (a worker that "answers").
class RecordingCreator : public TThreadCreator {
 public:
  explicit RecordingCreator(FakeHost& host) : TThreadCreator(host, ArticleBaseUrl), host_(host) {}
  ~RecordingCreator() override { Stop(); }

  void Stop() {
    Terminate();
    WaitFor();
  }

  std::vector<std::string> claims;
  std::vector<std::string> urls;
  size_t stopAfter = 0;  // 0: never
  std::function<void(const std::string&)> onStart;

 protected:
  void StartWorker(const std::string& kbid, const std::string& url, const std::optional<RefreshOf>&) override {
    claims.push_back(kbid);
    urls.push_back(url);
    host_.AddToThreadList(url, reinterpret_cast<const void*>(claims.size()));  // any distinct key
    if (onStart) onStart(kbid);
    if (claims.size() == stopAfter) Terminate();
  }

 private:
  FakeHost& host_;
};

class ThreadCreatorTest : public ::testing::Test {
 protected:
  void SetUp() override { SetMainThread(); }

  // Runs the dispatcher until it has claimed `count` numbers.
  std::vector<std::string> Claims(size_t count) {
    RecordingCreator creator(host);
    creator.stopAfter = count;
    creator.onStart = onStart;
    creator.Start();
    EXPECT_TRUE(ServeUntil([&] { return creator.Finished(); }, 10s));
    return creator.claims;
  }

  TestDatabase db;
  FakeHost host;
  std::function<void(const std::string&)> onStart;
};

TEST_F(ThreadCreatorTest, AnEmptyTableStartsAt100000AndTheClaimHoldsTheRow) {
  host.maxThreads = 30;
  RecordingCreator creator(host);
  creator.stopAfter = 2;
  creator.Start();
  ASSERT_TRUE(ServeUntil([&] { return creator.Finished(); }, 10s));
  ASSERT_EQ(creator.claims, (std::vector<std::string>{"100000", "100001"}));
  EXPECT_EQ(creator.urls[0], std::string(ArticleBaseUrl) + "100000");
  const auto rows = db.Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].url, creator.urls[0]);
  EXPECT_EQ(rows[0].resCode, 0);
  EXPECT_FALSE(rows[0].title.has_value());
  EXPECT_TRUE(host.log.empty());
}

TEST_F(ThreadCreatorTest, NeverFetchedRowsComeFirstThenOnePastTheLargest) {
  db.InsertRow("123456", "200");
  db.InsertRow("100005", "NULL");
  db.InsertRow("100003", "302");
  db.InsertRow("100002", "NULL");
  host.maxThreads = 30;
  EXPECT_EQ(Claims(4), (std::vector<std::string>{"100002", "100005", "123457", "123458"}));
  const auto rows = db.Rows();
  EXPECT_EQ(rows[1].kbid, "100003");
  EXPECT_EQ(rows[1].resCode, 302);  // left alone without the retry box
}

TEST_F(ThreadCreatorTest, WithRetryEach302RowIsFetchedOnceUpwardsBeforeNewNumbers) {
  db.InsertRow("123456", "200");
  db.InsertRow("100005", "NULL");
  db.InsertRow("100003", "302");
  db.InsertRow("100009", "302");
  host.maxThreads = 30;
  host.retry302 = true;
  // Every retried row answers 302 again at once, as does a new number.
  onStart = [this](const std::string& kbid) {
    if (kbid == "100003" || kbid == "100009" || kbid == "123457")
      db.Exec("UPDATE VELTINDEX SET RESCODE=302 WHERE KBID=\"" + kbid + "\"");
  };
  EXPECT_EQ(Claims(5), (std::vector<std::string>{"100005", "100003", "100009", "123457", "123458"}));
}

TEST_F(ThreadCreatorTest, TheLastNumberStartsNothingAndTheDispatcherSleepsUntilAChangeOrTheStop) {
  db.InsertRow("999999", "200");
  host.maxThreads = 30;
  RecordingCreator creator(host);
  creator.Start();
  ASSERT_TRUE(ServeUntil([&] { return host.readCount >= 1; }, 10s));
  ServeFor(300ms);
  EXPECT_EQ(host.readCount, 1) << "nothing changed, so nothing is asked again";
  host.Changed();
  ASSERT_TRUE(ServeUntil([&] { return host.readCount >= 2; }, 10s));
  const auto stopping = std::chrono::steady_clock::now();
  creator.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 5s);
  EXPECT_TRUE(creator.claims.empty());
  EXPECT_TRUE(host.log.empty());
}

TEST_F(ThreadCreatorTest, WithNoNumberLeftTheDispatcherWakesWhenAStoredRowFallsDueForItsRefresh) {
  // Fetched a day ago less two seconds: a refresh after one day takes it
  // two or three seconds from now, with no control changed meanwhile.
  const std::time_t fetched = std::time(nullptr) - 86400 + 2;
  std::tm local{};
  localtime_r(&fetched, &local);
  char stamp[16];
  std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
  db.InsertRow("999999", "200");
  db.Exec(std::string("UPDATE VELTINDEX SET GETBEGIN=\"") + stamp + "\" WHERE KBID=\"999999\"");
  host.maxThreads = 30;
  host.refreshDays = 1;
  RecordingCreator creator(host);
  creator.Start();
  ASSERT_TRUE(ServeUntil([&] { return host.readCount >= 1; }, 10s));
  ServeFor(300ms);
  EXPECT_TRUE(creator.claims.empty()) << "not due yet";
  ASSERT_TRUE(ServeUntil([&] { return !creator.claims.empty(); }, 30s));
  creator.Stop();
  EXPECT_EQ(creator.claims, std::vector<std::string>{"999999"});
  EXPECT_TRUE(host.log.empty());
}

TEST_F(ThreadCreatorTest, ThePositionBoundsRunningWorkersAndLoweringItStopsNone) {
  RecordingCreator creator(host);
  creator.Start();
  ASSERT_TRUE(ServeUntil([&] { return host.readCount >= 1; }, 10s));
  ServeFor(200ms);
  EXPECT_TRUE(creator.claims.empty());  // position 0 starts nothing
  EXPECT_EQ(host.readCount, 1) << "an idle dispatcher asks again only when something changes";

  host.maxThreads = 3;
  host.Changed();
  ASSERT_TRUE(ServeUntil([&] { return creator.claims.size() >= 3; }, 10s));
  ServeFor(200ms);
  EXPECT_EQ(creator.claims.size(), 3u);

  host.maxThreads = 1;
  host.Changed();
  ServeFor(200ms);
  EXPECT_EQ(host.lines.size(), 3u);
  EXPECT_EQ(creator.claims.size(), 3u);

  host.lines.clear();  // the workers end: one new one may start
  host.Changed();
  ASSERT_TRUE(ServeUntil([&] { return creator.claims.size() >= 4; }, 10s));
  ServeFor(200ms);
  creator.Stop();
  EXPECT_EQ(creator.claims, (std::vector<std::string>{"100000", "100001", "100002", "100003"}));
}

TEST_F(ThreadCreatorTest, AFullPoolMakesNoQueryAndARepeatedFailureIsLoggedOnceAndSlowsThePasses) {
  {
    CriticalSectionGuard hold(DatabaseLock);
    Database->Close();  // every query now fails
  }
  host.maxThreads = 2;
  host.lines = {{&host, "a"}, {&db, "b"}};
  RecordingCreator creator(host);
  creator.Start();
  ServeFor(200ms);
  EXPECT_TRUE(host.log.empty());

  host.maxThreads = 3;
  host.Changed();
  ServeUntil([&] { return !host.log.empty(); }, 10s);
  const int reads = host.readCount;
  ServeFor(600ms);
  creator.Stop();
  ASSERT_EQ(host.log.size(), 1u);  // the same line again within a minute is dropped
  EXPECT_EQ(host.log[0].level, 1);
  EXPECT_FALSE(host.log[0].text.empty());
  EXPECT_LT(host.readCount - reads, 30);  // about 600 at the normal pace
  EXPECT_TRUE(creator.claims.empty());
}

TEST_F(ThreadCreatorTest, AnUnexpectedErrorIsLoggedBeforeTheRunEnds) {
  db.InsertRow("abcdef", "NULL");  // no number in the KBID column
  host.maxThreads = 1;
  RecordingCreator creator(host);
  creator.Start();
  ASSERT_TRUE(ServeUntil([&] { return creator.Finished(); }, 10s));
  ASSERT_EQ(host.log.size(), 1u);
  EXPECT_EQ(host.log[0].level, 1);
  EXPECT_EQ(host.log[0].text, creator.FatalMessage());
  EXPECT_TRUE(creator.claims.empty());
}

}  // namespace
}  // namespace velt
