// The real dispatcher and workers against the sample site (run through
// tests/run-in-netns.sh), over HTTP and HTTPS, checked row by row against
// what the site's model says it served.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "crawler/ClaimTransaction.h"
#include "crawler/DownloadThread.h"
#include "crawler/FetchFailureWatch.h"
#include "crawler/ThreadCreator.h"
#include "platform/Encoding.h"
#include "platform/MainThread.h"
#include "tests/crawler/FakeHost.h"
#include "tests/crawler/TestDatabase.h"
#include "tools/kbsite/SiteModel.h"
#include "tools/kbsite/SiteProcess.h"
#include "tools/kbsite/ThrowAwayCertificates.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using kbsite::SiteModel;
using kbsite::SiteProcess;
using testing::FakeHost;
using testing::Row;
using testing::ServeFor;
using testing::ServeUntil;
using testing::TestDatabase;

constexpr std::uint32_t kSeed = 11;

// What the table holds of a served text: the page's characters as code
// page 932 has them, "?" for the others.
std::string AsStored(const std::string& utf8) { return Cp932ToUtf8(Utf8ToCp932(utf8)); }

// One run of the program's crawl: the dispatcher with up to 30 workers
// until `claims` numbers have been claimed, then stopped as the window
// stops it (dispatcher first, then the wait for the workers).
void Crawl(FakeHost& host, size_t claims) {
  host.maxThreads = 30;
  TThreadCreator creator(host, ArticleBaseUrl);
  creator.Start();
  EXPECT_TRUE(ServeUntil([&] { return host.added.size() >= claims; }, 60s));
  creator.Terminate();
  creator.WaitFor();
  EXPECT_TRUE(ServeUntil([&] { return host.lines.empty(); }, 60s)) << host.lines.size() << " workers left";
  EXPECT_TRUE(host.log.empty()) << host.log.front().text;
}

// Workers as the dispatcher starts them, for numbers under a base URL of
// the test's choosing: each row claimed, at most 30 workers at once, and
// back when all have ended.
void FetchClaimed(FakeHost& host, const std::string& baseUrl, const std::vector<int>& numbers,
                  const HttpTimeouts& limits = {}) {
  ClaimTransaction claim;
  for (int number : numbers) {
    ASSERT_TRUE(ServeUntil([&] { return host.lines.size() < 30; }, 60s));
    const std::string kbid = std::to_string(number);
    std::string error;
    {
      CriticalSectionGuard hold(DatabaseLock);
      ASSERT_TRUE(claim.Claim(*Database, kbid, baseUrl + kbid, error)) << error;
    }
    (new TDownloadThread(host, kbid, baseUrl + kbid, limits))->Start();  // it frees itself
  }
  EXPECT_TRUE(ServeUntil([&] { return host.lines.empty(); }, 60s)) << host.lines.size() << " workers left";
}

int Number(const std::string& urlOrKbid) { return std::stoi(urlOrKbid.substr(urlOrKbid.size() - 6)); }

// How often the site answered each number.
std::map<int, int> ServedCounts(const SiteProcess& site) {
  std::map<int, int> counts;
  for (const std::string& line : site.ServedLines()) ++counts[std::stoi(line.substr(5, 6))];
  return counts;
}

bool IsTimeStamp(const std::optional<std::string>& text) {
  return text && text->size() == 14 && std::all_of(text->begin(), text->end(), ::isdigit);
}

void ExpectRowAsServed(const Row& row, const kbsite::Article& article, int resCode,
                       const std::string& baseUrl = ArticleBaseUrl) {
  SCOPED_TRACE("KBID " + row.kbid);
  EXPECT_EQ(row.url, baseUrl + row.kbid);
  EXPECT_EQ(row.resCode, resCode);
  const bool found = resCode == 200;
  EXPECT_EQ(row.title, found ? AsStored(article.title) : "");
  EXPECT_EQ(row.description, found ? AsStored(article.description) : "");
  EXPECT_EQ(row.keywords, found ? AsStored(article.keywords) : "");
  EXPECT_EQ(row.kbParents, found ? AsStored(article.kbParents) : "");
  EXPECT_TRUE(IsTimeStamp(row.getBegin));
  EXPECT_TRUE(IsTimeStamp(row.getEnd));
  EXPECT_LE(*row.getBegin, *row.getEnd);
}

class CrawlEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { SetMainThread(); }

  const SiteModel model{kSeed};
  TestDatabase db;
  FakeHost host;
};

TEST_F(CrawlEndToEndTest, EveryRowHoldsWhatTheSiteServedInEveryCharset) {
  SiteProcess site({"--seed", std::to_string(kSeed)});
  Crawl(host, 400);

  const auto rows = db.Rows();
  ASSERT_GE(rows.size(), 400u);
  std::set<std::string> charsets;
  std::set<int> statuses;
  bool quotedTitle = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(Number(rows[i].kbid), 100000 + static_cast<int>(i));  // no number skipped
    const auto article = model.ArticleFor(Number(rows[i].kbid));
    ExpectRowAsServed(rows[i], article, article.status);
    statuses.insert(article.status);
    if (article.status == 200) {
      charsets.insert(std::string(EncodingName(article.encoding)) + "/" + article.charset);
      quotedTitle |= article.title.find('"') != std::string::npos;
    }
  }
  EXPECT_EQ(statuses, (std::set<int>{200, 302, 404, 500}));
  EXPECT_GE(charsets.size(), 12u);  // each encoding, the spellings of its name, and none
  EXPECT_TRUE(quotedTitle);
  for (const auto& [number, count] : ServedCounts(site)) EXPECT_EQ(count, 1) << number;
}

TEST_F(CrawlEndToEndTest, MisbehavingAnswersAreStoredAsTheyCame) {
  // 100003..100005: no status line or a blank line first; 100006..100009:
  // pages that never send the marker are read to their end; 100010..100015:
  // heads in bare line feeds before pages that hold an empty CR LF line.
  SiteProcess site({"--seed", std::to_string(kSeed), "--no-status-line", "100003,100004", "--blank-line",
                    "100005", "--no-marker", "100006-100009", "--bare-lf", "100010-100015"});
  Crawl(host, 20);
  const auto rows = db.Rows();
  ASSERT_GE(rows.size(), 20u);
  for (const Row& row : rows) {
    const int number = Number(row.kbid);
    const auto article = model.ArticleFor(number);
    ExpectRowAsServed(row, article, number >= 100003 && number <= 100005 ? 0 : article.status);
  }
  for (const auto& [number, count] : ServedCounts(site)) EXPECT_EQ(count, 1) << number;
}

TEST_F(CrawlEndToEndTest, AStoppedOrKilledCrawlResumesWithoutGapsOrRepeats) {
  std::set<int> reset;
  {
    SiteProcess site({"--seed", std::to_string(kSeed)});
    Crawl(host, 150);
  }
  auto rows = db.Rows();
  const int firstRunEnd = Number(rows.back().kbid);
  // As after a kill during five fetches: claimed rows that no worker wrote.
  for (size_t i : {3u, 40u, 41u, 97u, 120u}) {
    db.Exec("UPDATE VELTINDEX SET RESCODE=0,TITLE=NULL,DESCRIPTION=NULL,KEYWORDS=NULL,KBPARENTS=NULL,"
            "GETBEGIN=NULL,GETEND=NULL WHERE KBID=\"" + rows[i].kbid + "\"");
    reset.insert(Number(rows[i].kbid));
  }
  db.Restart();

  FakeHost second;
  SiteProcess site({"--seed", std::to_string(kSeed)});
  Crawl(second, 60);
  std::vector<int> order;
  for (const std::string& url : second.added) order.push_back(Number(url));
  ASSERT_GE(order.size(), 60u);
  EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 5), std::vector<int>(reset.begin(), reset.end()));
  for (size_t i = 5; i < order.size(); ++i) EXPECT_EQ(order[i], firstRunEnd + static_cast<int>(i) - 4);
  for (const auto& [number, count] : ServedCounts(site)) EXPECT_EQ(count, 1) << number;
  EXPECT_EQ(ServedCounts(site).size(), order.size());

  rows = db.Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(Number(rows[i].kbid), 100000 + static_cast<int>(i));
    const auto article = model.ArticleFor(Number(rows[i].kbid));
    ExpectRowAsServed(rows[i], article, article.status);
  }
}

// A row as its claim left it: fetched again after the next start.
void ExpectRowClaimed(const Row& row) {
  SCOPED_TRACE("KBID " + row.kbid);
  EXPECT_EQ(row.resCode, 0);
  EXPECT_FALSE(row.title || row.description || row.keywords || row.kbParents || row.getBegin || row.getEnd);
}

TEST_F(CrawlEndToEndTest, OverHttpsRowsHoldWhatTheSiteServedAndRefusedCertificatesOrCutAnswersLeaveRowsClaimed) {
  const auto& certificates = kbsite::TrustedTestCertificates();
  const struct {
    const char* server;
    int port;
    const char* base;
    int first, count;
    bool refused;
    bool cut = false;  // each answer ends, with TLS's close, halfway through its Content-Length
  } cases[] = {
      {"localhost", 8443, "https://localhost:8443/default.aspx?scid=kb;ja;", 100000, 200, false},
      {"other-name", 443, "https://localhost/default.aspx?scid=kb;ja;", 100200, 5, true},
      {"unknown-signer", 443, "https://localhost/default.aspx?scid=kb;ja;", 100205, 5, true},
      {"localhost", 443, "https://localhost/default.aspx?scid=kb;ja;", 100210, 5, true, true},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = certificates.TlsArguments(c.server);
    arguments.insert(arguments.end(), {"--seed", std::to_string(kSeed)});
    const std::string range = std::to_string(c.first) + "-" + std::to_string(c.first + c.count - 1);
    if (c.cut) arguments.insert(arguments.end(), {"--cut-once", range});
    SiteProcess site(arguments, c.port);
    std::vector<int> numbers(static_cast<size_t>(c.count));
    std::iota(numbers.begin(), numbers.end(), c.first);
    FetchClaimed(host, c.base, numbers);
  }
  const auto rows = db.Rows();
  ASSERT_EQ(rows.size(), 215u);
  std::set<int> statuses;
  for (const auto& c : cases) {
    for (int i = 0; i < c.count; ++i) {
      const Row& row = rows[static_cast<size_t>(c.first - 100000 + i)];
      if (c.refused) {
        ExpectRowClaimed(row);
        continue;
      }
      const auto article = model.ArticleFor(Number(row.kbid));
      ExpectRowAsServed(row, article, article.status, c.base);
      statuses.insert(article.status);
    }
  }
  EXPECT_EQ(statuses, (std::set<int>{200, 302, 404, 500}));
}

TEST_F(CrawlEndToEndTest, AnAnswerCutByATimeLimitStaysClaimedAndIsFetchedAfterTheNextStart) {
  // One 200 article for each way an answer can be cut short.
  std::vector<int> found;
  for (int n = 100000; found.size() < 3; ++n) {
    if (model.ArticleFor(n).status == 200) found.push_back(n);
  }
  const struct {
    const char* option;
    int number;
  } cases[] = {{"--head-then-stall", found[0]}, {"--silent", found[1]}, {"--drip", found[2]}};
  std::vector<std::string> arguments = {"--seed", std::to_string(kSeed), "--drip-ms", "20"};
  for (const auto& c : cases) arguments.insert(arguments.end(), {c.option, std::to_string(c.number)});
  constexpr HttpTimeouts kShortLimits{std::chrono::milliseconds(1000), std::chrono::milliseconds(300),
                                      std::chrono::milliseconds(1000)};
  {
    SiteProcess site(arguments);
    FetchClaimed(host, ArticleBaseUrl, found, kShortLimits);
  }
  for (const Row& row : db.Rows()) ExpectRowClaimed(row);

  db.Restart();
  SiteProcess site({"--seed", std::to_string(kSeed)});
  FakeHost second;
  Crawl(second, found.size());
  ASSERT_GE(second.added.size(), found.size());
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(Number(second.added[i]), found[i]);
    ExpectRowAsServed(db.Rows().at(i), model.ArticleFor(found[i]), 200);
  }
}

TEST_F(CrawlEndToEndTest, ASiteThatRefusesEveryConnectionIsLoggedOnceAndItsRowsStayClaimed) {
  if (std::getenv("VELT_PRIVATE_NETNS") == nullptr) GTEST_SKIP() << "port 80 may be served here";
  host.maxThreads = 5;
  TThreadCreator creator(host, ArticleBaseUrl);
  creator.Start();
  // The run of failures that the watch reports, a few fetches under way,
  // and then a probe now and then: never a walk through the numbers.
  ServeFor(5s);
  EXPECT_LE(host.added.size(), 2u * FetchFailureWatch::FailuresInARow + 5u);
  creator.Terminate();
  creator.WaitFor();
  EXPECT_TRUE(ServeUntil([&] { return host.lines.empty(); }, 30s));

  ASSERT_EQ(host.log.size(), 1u) << "one line, the same failure again within a minute is not repeated";
  EXPECT_EQ(host.log[0].level, 1);
  EXPECT_NE(host.log[0].text.find("Connection refused"), std::string::npos) << host.log[0].text;
  const auto rows = db.Rows();
  std::set<int> started;  // a probe starts a claimed number again
  for (const std::string& url : host.added) started.insert(Number(url));
  EXPECT_EQ(rows.size(), started.size());
  for (const Row& row : rows) ExpectRowClaimed(row);
}

// What a busy public site does to a crawl of five threads, in one run:
// answers 503 or 429 with a Retry-After, resets a connection, cuts an
// answer short of its Content-Length, answers 500 every time, and refuses
// every connection for three seconds.
TEST_F(CrawlEndToEndTest, ABusyAndFlakySiteHasEveryArticleStoredAsServedInOneRun) {
  if (std::getenv("VELT_PRIVATE_NETNS") == nullptr) GTEST_SKIP() << "port 80 may be served here";
  const std::set<int> serverError = {100001, 100013};
  SiteProcess site({"--seed", std::to_string(kSeed), "--busy", "100002,100008,100014,100020,100026",
                    "--rate-limited", "100004,100010,100016,100022,100028", "--reset-once", "100006,100012,100018",
                    "--cut-once", "100024", "--server-error", "100001,100013", "--outage-after", "60",
                    "--outage-ms", "3000", "--busy-after-outage", "1"});
  host.maxThreads = 5;
  TThreadCreator creator(host, ArticleBaseUrl);
  creator.Start();
  const auto logged = [&](const std::string& text) {
    return std::count_if(host.log.begin(), host.log.end(),
                         [&](const testing::LogLine& line) { return line.text.starts_with(text); });
  };
  // The outage's span in lines added: only its probes start meanwhile.
  size_t addedAtOutage = 0;
  ASSERT_TRUE(ServeUntil([&] {
    if (addedAtOutage == 0 && logged("FETCHES FAILING IN A ROW")) addedAtOutage = host.added.size();
    return logged("SITE ANSWERS AGAIN") > 0;
  }, 90s));
  // The site's first answer after the outage says "busy": that answer, not
  // a later stored one, ends the outage's back-off.
  EXPECT_NE(site.ServedLines().back().find("answer=busy"), std::string::npos) << site.ServedLines().back();
  EXPECT_GT(addedAtOutage, 0u);
  EXPECT_LE(host.added.size() - addedAtOutage, 5u);
  const size_t addedAtRecovery = host.added.size();
  EXPECT_TRUE(ServeUntil([&] { return host.added.size() >= addedAtRecovery + 100; }, 60s));
  creator.Terminate();
  creator.WaitFor();
  EXPECT_TRUE(ServeUntil([&] { return host.lines.empty(); }, 60s));

  const auto rows = db.Rows();
  ASSERT_GE(rows.size(), 100u);
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(Number(rows[i].kbid), 100000 + static_cast<int>(i));
    const int number = Number(rows[i].kbid);
    const auto article = model.ArticleFor(number);
    ExpectRowAsServed(rows[i], article, serverError.count(number) ? 500 : article.status);
  }
  const auto served = ServedCounts(site);
  for (int number : {100002, 100004, 100006, 100024}) EXPECT_EQ(served.at(number), 2) << number;
  EXPECT_EQ(served.at(100001), 1);
  EXPECT_GE(logged("SITE ASKS TO WAIT:1 SECONDS"), 1);
  EXPECT_LE(logged("SITE ASKS TO WAIT:1 SECONDS"), 10);
  EXPECT_EQ(logged("SITE ANSWERS AGAIN"), 1);
}

TEST_F(CrawlEndToEndTest, ACrawlStartedBeforeTheSiteListensStoresEveryArticleOnceItDoes) {
  if (std::getenv("VELT_PRIVATE_NETNS") == nullptr) GTEST_SKIP() << "port 80 may be served here";
  host.maxThreads = 5;
  TThreadCreator creator(host, ArticleBaseUrl);
  creator.Start();
  ServeFor(3s);
  const size_t claimedBefore = db.Rows().size();
  EXPECT_LE(claimedBefore, 2u * FetchFailureWatch::FailuresInARow + 5u);
  SiteProcess site({"--seed", std::to_string(kSeed)});
  EXPECT_TRUE(ServeUntil([&] { return host.added.size() >= claimedBefore + 100; }, 90s));
  creator.Terminate();
  creator.WaitFor();
  EXPECT_TRUE(ServeUntil([&] { return host.lines.empty(); }, 60s));

  const auto rows = db.Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(Number(rows[i].kbid), 100000 + static_cast<int>(i));
    const auto article = model.ArticleFor(Number(rows[i].kbid));
    ExpectRowAsServed(rows[i], article, article.status);
  }
  ASSERT_FALSE(host.log.empty());
  EXPECT_EQ(host.log.back().text, "SITE ANSWERS AGAIN");
}

}  // namespace
}  // namespace velt
