#include <gtest/gtest.h>

#include "crawler/ClaimTransaction.h"
#include "crawler/ThreadCreator.h"
#include "platform/MainThread.h"
#include "tests/crawler/FakeHost.h"
#include "tests/crawler/TestDatabase.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using testing::TestDatabase;

// The index table with one more column that nothing fills, so that every
// claim's INSERT fails after its DELETE has run.
constexpr char kTableThatRefusesClaims[] =
    "CREATE TABLE VELTINDEX ( KBID TEXT(6) NOT NULL, URL TEXT(100) NOT NULL, RESCODE INTEGER, "
    "TITLE MEMO, DESCRIPTION MEMO, KEYWORDS MEMO, KBPARENTS MEMO, GETBEGIN TEXT(14), "
    "GETEND TEXT(14), EXTRA TEXT(1) NOT NULL, CONSTRAINT PK_VELTINDEX PRIMARY KEY (KBID));";

TEST(ClaimTransactionTest, AClaimReplacesTheWholeRow) {
  TestDatabase db;
  db.Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,GETBEGIN) VALUES(\"100003\",\"old\",302,\"t\",\"1\")");
  std::string error;
  ASSERT_TRUE(ClaimTransaction().Claim(*Database, "100003", "http://new/100003", error)) << error;
  const auto rows = db.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].url, "http://new/100003");
  EXPECT_EQ(rows[0].resCode, 0);
  EXPECT_FALSE(rows[0].title.has_value());
  EXPECT_FALSE(rows[0].getBegin.has_value());
}

TEST(ClaimTransactionTest, AFailedInsertLeavesTheEarlierRowAndTheSessionUsable) {
  TestDatabase db(kTableThatRefusesClaims);
  db.Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,EXTRA) VALUES(\"100003\",\"old\",302,\"kept\",\"x\")");
  ClaimTransaction claim;
  std::string error;
  EXPECT_FALSE(claim.Claim(*Database, "100003", "http://new/100003", error));
  EXPECT_NE(error.find(";INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(\"100003\""), std::string::npos) << error;
  auto rows = db.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].resCode, 302);
  EXPECT_EQ(rows[0].title, "kept");

  // No transaction is left open: a later claim can begin its own, and a
  // plain statement is kept without any commit.
  EXPECT_FALSE(claim.Claim(*Database, "100003", "http://new/100003", error));
  EXPECT_EQ(error.find("BEGIN"), std::string::npos) << error;
  db.Exec("UPDATE VELTINDEX SET TITLE=\"changed\" WHERE KBID=\"100003\"");
  db.Restart();
  rows = db.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].title, "changed");
}

TEST(ClaimTransactionTest, TheDispatcherLogsAFailedClaimOnceAndKeepsTheRow) {
  SetMainThread();
  TestDatabase db(kTableThatRefusesClaims);
  db.Exec("INSERT INTO VELTINDEX(KBID,URL,EXTRA) VALUES(\"100003\",\"old\",\"x\")");
  testing::FakeHost host;
  host.maxThreads = 1;
  TThreadCreator creator(host, ArticleBaseUrl);
  creator.Start();
  testing::ServeUntil([&] { return !host.log.empty(); }, 10s);
  testing::ServeFor(300ms);
  creator.Terminate();
  creator.WaitFor();
  ASSERT_EQ(host.log.size(), 1u);
  EXPECT_EQ(host.log[0].level, 1);
  EXPECT_NE(host.log[0].text.find("INSERT INTO VELTINDEX"), std::string::npos);
  EXPECT_TRUE(host.lines.empty());  // no worker started
  const auto rows = db.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_FALSE(rows[0].resCode.has_value());
}

}  // namespace
}  // namespace velt
