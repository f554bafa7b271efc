// Workers whose fetch never gets an answer, without a site (run through
// tests/run-in-netns.sh: nothing listens on 127.0.0.1:80 there).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "crawler/ClaimTransaction.h"
#include "crawler/DownloadThread.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "tests/crawler/FakeHost.h"
#include "tests/crawler/TestDatabase.h"

namespace velt {
namespace {

using namespace std::chrono_literals;

class DownloadThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { SetMainThread(); }

  // Claims the row and runs one worker for it to its end.
  testing::Row Fetch(const std::string& url) {
    std::string error;
    EXPECT_TRUE(ClaimTransaction().Claim(*Database, "100000", url, error)) << error;
    auto* worker = new TDownloadThread(host, "100000", url);
    EXPECT_EQ(host.lines.size(), 1u);  // listed before it starts
    worker->Start();
    EXPECT_TRUE(testing::ServeUntil([&] { return host.lines.empty(); }, 20s));
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(host.added, std::vector<std::string>{url});
    return db.Rows().at(0);
  }

  testing::TestDatabase db;
  testing::FakeHost host;
};

TEST_F(DownloadThreadTest, AFailedFetchLeavesTheRowAsClaimed) {
  if (std::getenv("VELT_PRIVATE_NETNS") == nullptr) GTEST_SKIP() << "port 80 may be served here";
  for (const char* url : {"http:///default.aspx", "http://127.0.0.1/default.aspx?scid=kb;ja;100000"}) {
    host.added.clear();
    const testing::Row row = Fetch(url);
    EXPECT_EQ(row.resCode, 0) << url;
    EXPECT_FALSE(row.getBegin.has_value()) << url;
    EXPECT_FALSE(row.title.has_value()) << url;
  }
}

TEST_F(DownloadThreadTest, AnUnusableUrlIsWrittenWithoutAStatus) {
  const testing::Row row = Fetch("ftp://kb.example.test/100000");
  EXPECT_EQ(row.resCode, 0);
  EXPECT_EQ(row.title, "");
  EXPECT_EQ(row.kbParents, "");
  ASSERT_TRUE(row.getBegin.has_value());
  EXPECT_EQ(row.getBegin->size(), 14u);
  EXPECT_EQ(row.getEnd->size(), 14u);
}

}  // namespace
}  // namespace velt
