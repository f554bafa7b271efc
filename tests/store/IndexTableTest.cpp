#include <gtest/gtest.h>

#include "store/IndexTable.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

class IndexUpkeep : public SessionTest {
 protected:
  std::vector<std::string> RunUpkeep() {
    std::vector<std::string> lines;
    std::string error;
    EXPECT_TRUE(RunIndexUpkeep(db_, [&](const std::string& line) { lines.push_back(line); }, error))
        << error;
    return lines;
  }

  const std::string kSync = "SYNC NULLABLE AND ALLOWZEROLENGTH:VELTINDEX";
  const std::string kReset = "DELETE JUNK RECORDS:UPDATE VELTINDEX SET RESCODE=NULL WHERE (RESCODE=0)";
};

TEST_F(IndexUpkeep, FirstStartCreatesThenLaterStartsOnlySyncAndReset) {
  EXPECT_EQ(RunUpkeep(), (std::vector<std::string>{"TABLE CREATED:VELTINDEX", "VIEW CREATED:VELTINDEXV",
                                                   kSync, kReset}));
  EXPECT_TRUE(db_.Connected);
  EXPECT_EQ(RunUpkeep(), (std::vector<std::string>{kSync, kReset}));
  // An empty table: the dispatcher's first number is the floor plus one.
  EXPECT_TRUE(Scalar(SqlMaxKbid).IsNull());
}

TEST_F(IndexUpkeep, ATableNamedInOtherCaseCountsAsPresent) {
  Exec("CREATE TABLE veltindex ( KBID TEXT(6) NOT NULL, URL TEXT(100) NOT NULL, RESCODE INTEGER, "
       "TITLE MEMO, DESCRIPTION MEMO, KEYWORDS MEMO, KBPARENTS MEMO, GETBEGIN TEXT(14), GETEND TEXT(14))");
  EXPECT_EQ(RunUpkeep(), (std::vector<std::string>{"VIEW CREATED:VELTINDEXV", kSync, kReset}));
  std::vector<std::string> names;
  db_.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"veltindex", "VELTINDEXV"}));
}

TEST_F(IndexUpkeep, ADeletedViewIsRecreatedAloneAndTheSessionReopened) {
  RunUpkeep();
  Exec("DROP VIEW VELTINDEXV");
  auto* before = db_.Connection.get();
  EXPECT_EQ(RunUpkeep(), (std::vector<std::string>{"VIEW CREATED:VELTINDEXV", kSync, kReset}));
  EXPECT_NE(db_.Connection.get(), before);
}

TEST_F(IndexUpkeep, ClaimedRowsBecomeRowsToFetchAndAreChosenFirst) {
  RunUpkeep();
  Exec(BuildClaimInsertSql("100005", "http://kb.example.test/default.aspx?scid=kb;ja;100005"));
  Exec(BuildClaimInsertSql("100003", "http://kb.example.test/default.aspx?scid=kb;ja;100003"));
  Exec(BuildClaimInsertSql("100009", "u"));
  Exec(BuildRowUpdateSql(302, "", "", "", "", "20240101000000", "20240101000001", "100009"));
  RunUpkeep();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM VELTINDEX WHERE (RESCODE IS NULL)").AsInteger(), 2);
  EXPECT_EQ(Scalar(SqlMinUnfetchedKbid), Variant("100003"));
  EXPECT_EQ(Scalar(BuildMinRedirectedKbidAboveSql("000000")), Variant("100009"));
  EXPECT_TRUE(Scalar(BuildMinRedirectedKbidAboveSql("100009")).IsNull());
  EXPECT_EQ(Scalar(SqlCountRedirected).AsInteger(), 1);
}

TEST_F(IndexUpkeep, AWorkersUpdateStoresEmptyTextsAndOnly200IsInTheView) {
  RunUpkeep();
  Exec(BuildClaimInsertSql("100000", "u0"));
  Exec(BuildClaimInsertSql("100001", "u1"));
  Exec(BuildRowUpdateSql(404, "", "", "", "", "20240101000000", "20240101000001", "100000"));
  Exec(BuildRowUpdateSql(200, "Registry \"tips\"", "d", "k", "p", "20240101000000", "20240101000001",
                         "100001"));
  EXPECT_EQ(Scalar("SELECT TITLE&\"|\"&KBPARENTS FROM VELTINDEX WHERE KBID=\"100000\""), Variant("|"));
  EXPECT_TRUE(Scalar("SELECT COUNT(*) FROM VELTINDEX WHERE TITLE IS NULL").AsInteger() == 0);
  EXPECT_EQ(Scalar(SqlCountAll).AsInteger(), 2);
  EXPECT_EQ(Scalar(SqlCountExisting).AsInteger(), 1);
  EXPECT_EQ(Scalar(SqlMinExistingKbid), Variant("100001"));
  EXPECT_EQ(Scalar(SqlMaxExistingKbid), Variant("100001"));
  EXPECT_EQ(Scalar(BuildSearchSql({"%REGISTRY%", "%\"TIPS\"%"})), Variant("100001"));
  EXPECT_TRUE(Scalar(BuildSearchSql({"%u0%"})).IsEmpty());  // the 404 row is not searched
}

TEST_F(IndexUpkeep, AClaimWithAnOverLongUrlFailsAtTheInsert) {
  RunUpkeep();
  std::string error;
  const std::string url(101, 'h');
  EXPECT_FALSE(db_.ExecSQLList({BuildDeleteRowSql("100000"), BuildClaimInsertSql("100000", url)}, error));
  EXPECT_NE(error.find(";INSERT INTO VELTINDEX"), std::string::npos) << error;
  EXPECT_EQ(Scalar(SqlCountAll).AsInteger(), 0);
}

TEST_F(IndexUpkeep, StopsAtTheFirstFailingStepWithItsError) {
  db_.Close();
  std::vector<std::string> lines;
  std::string error;
  EXPECT_FALSE(RunIndexUpkeep(db_, [&](const std::string& line) { lines.push_back(line); }, error));
  EXPECT_TRUE(lines.empty());
  EXPECT_FALSE(error.empty());
}

TEST(IndexStatements, BuildersQuoteEveryValueAndJoinSearchTerms) {
  EXPECT_EQ(BuildDeleteRowSql("100000"), "DELETE FROM VELTINDEX WHERE (KBID=\"100000\")");
  EXPECT_EQ(BuildRowUpdateSql(404, "a\"b", "", "", "", "1", "2", "100000"),
            "UPDATE VELTINDEX SET RESCODE=404,TITLE=\"a\"\"b\",DESCRIPTION=\"\",KEYWORDS=\"\","
            "KBPARENTS=\"\",GETBEGIN=\"1\",GETEND=\"2\" WHERE KBID=\"100000\"");
  EXPECT_EQ(BuildSearchSql({}), SqlSearchSelect);
  EXPECT_EQ(BuildSearchSql({"%a%", "%b%", "%c%"}),
            std::string(SqlSearchSelect) +
                " WHERE (LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%a%\")"
                " AND (LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%b%\")"
                " AND (LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%c%\")");
}

}  // namespace
}  // namespace velt::testing
