// The dispatcher's choice of the next number must cost the same however
// many rows the table holds, or the crawl slows down as it advances.
#include <gmock/gmock.h>

#include "store/IndexTable.h"
#include "store/provider/Catalog.h"
#include "tests/store/EnginePlan.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

const std::string kRedirectedAbove = BuildMinRedirectedKbidAboveSql("100100");

class DispatchQueries : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    std::string error;
    ASSERT_TRUE(RunIndexUpkeep(db_, [](const std::string&) {}, error)) << error;
  }

  // Claims rows 100000 + [from, to) as the dispatcher does and gives them
  // the result; 0 leaves them claimed.
  void AddRows(int from, int to, int resCode) {
    Exec("BEGIN TRANSACTION");
    for (int i = from; i < to; ++i) {
      const std::string kbid = std::to_string(100000 + i);
      Exec(BuildDeleteRowSql(kbid));
      Exec(BuildClaimInsertSql(kbid, "http://kb.example.test/" + kbid));
      if (resCode != 0) Exec(BuildRowUpdateSql(resCode, "t", "d", "k", "p", "1", "2", kbid));
    }
    Exec("COMMIT");
  }

  struct Steps {
    int unfetched, redirected, highest;
    bool operator==(const Steps&) const = default;
  };
  Steps Measure() {
    return {EngineSteps(db_, SqlMinUnfetchedKbid), EngineSteps(db_, kRedirectedAbove.c_str()),
            EngineSteps(db_, SqlMaxKbid)};
  }
};

TEST_F(DispatchQueries, EachChoiceSeeksOneEndOfAnIndex) {
  for (const char* sql :
       {SqlMinUnfetchedKbid, kRedirectedAbove.c_str(), SqlMinExistingKbid, SqlMaxExistingKbid}) {
    const std::string plan = QueryPlan(db_, sql);
    EXPECT_NE(plan.find("SEARCH VELTINDEX USING COVERING INDEX IX_VELTINDEX_RESCODE (RESCODE=?"),
              std::string::npos)
        << sql << "\n" << plan;
  }
  // The refresh's walk seeks its cursor in the index of fetch times.
  for (const std::string& sql : {BuildRefreshSameTimeSql("20240101000000", "100100"),
                                 BuildRefreshNextTimeSql("20240101000000", "20250101000000")})
    EXPECT_NE(QueryPlan(db_, sql).find("USING COVERING INDEX IX_VELTINDEX_GETBEGIN"), std::string::npos) << sql;
  const std::string highest = QueryPlan(db_, SqlMaxKbid);
  EXPECT_NE(highest.find("SEARCH VELTINDEX USING COVERING INDEX sqlite_autoindex_VELTINDEX_1"), std::string::npos)
      << highest;
  // The counts read an index, never the rows with their texts.
  for (const char* sql : {SqlCountAll, SqlCountExisting, SqlCountRedirected})
    EXPECT_NE(QueryPlan(db_, sql).find("COVERING INDEX"), std::string::npos) << sql;
}

TEST_F(DispatchQueries, WorkPerChoiceDoesNotGrowWithTheTable) {
  AddRows(0, 200, 200);
  AddRows(200, 220, 302);
  AddRows(220, 230, 0);
  Exec(SqlResetClaimedRows);
  const Steps pendingSmall = Measure();
  AddRows(230, 6000, 200);
  AddRows(6000, 6100, 302);
  EXPECT_EQ(Measure(), pendingSmall);
  EXPECT_EQ(Scalar(SqlMinUnfetchedKbid), Variant("100220"));

  // The costly case for a plain scan: every number done, so the lowest
  // pending one is looked for in vain.
  AddRows(220, 230, 200);
  const Steps doneLarge = Measure();
  AddRows(6100, 12000, 200);
  EXPECT_EQ(Measure(), doneLarge);
  EXPECT_TRUE(Scalar(SqlMinUnfetchedKbid).IsNull());
}

TEST_F(DispatchQueries, TheIndexIsMadeOnceAndNotListedAsATable) {
  std::string error;
  ASSERT_TRUE(RunIndexUpkeep(db_, [](const std::string&) {}, error)) << error;
  EXPECT_THAT(db_.Catalog->TableByName(IndexTableName).IndexNames(),
              ::testing::UnorderedElementsAre(DispatchIndexName, RefreshIndexName));
  std::vector<std::string> names;
  db_.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{IndexTableName, IndexViewName}));
}

}  // namespace
}  // namespace velt::testing
