#include <gtest/gtest.h>

#include <fstream>

#include "platform/Error.h"
#include "store/DatabaseIO.h"
#include "store/provider/Catalog.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

TEST(SessionOpen, CreatesAMissingFileAndConnectsToAnExistingOne) {
  TempFolder folder;
  const std::string path = folder.File("a.mdb");
  std::string error;
  {
    TDatabaseJet db;
    ASSERT_TRUE(db.Open("", "", path, error)) << error;
    EXPECT_TRUE(db.Connected);
    EXPECT_EQ(db.DataSource, path);
    ASSERT_TRUE(db.ExecSQL("CREATE TABLE T (A INTEGER)", error)) << error;
  }
  TDatabaseJet db;
  ASSERT_TRUE(db.Open("", "", path, error)) << error;
  std::vector<std::string> names;
  db.GetTableNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"T"});  // opening kept the table
}

TEST(SessionOpen, FailuresLeaveTheSessionClosedWithTheProvidersMessage) {
  TempFolder folder;
  std::string error;
  TDatabaseJet db;
  ASSERT_TRUE(db.Open("", "", folder.File("ok.mdb"), error)) << error;

  EXPECT_FALSE(db.Open("user", "pw", folder.File("missing/x.mdb"), error));
  EXPECT_NE(error.find("missing/x.mdb"), std::string::npos) << error;
  EXPECT_FALSE(db.Connected);
  EXPECT_EQ(db.UserName + db.Password + db.DataSource, "");
  EXPECT_FALSE(db.Connection);

  std::ofstream(folder.File("text.mdb")) << "this is not a database, just some text that is long enough";
  error.clear();
  EXPECT_FALSE(db.Open("", "", folder.File("text.mdb"), error));
  EXPECT_NE(error.find("not a database"), std::string::npos) << error;

  // The base session never creates a file.
  EXPECT_FALSE(db.TDatabase::Open("", "", folder.File("new.mdb"), error));
  EXPECT_NE(error.find("Could not find"), std::string::npos) << error;
}

TEST(SessionOpen, ThePasswordIsCheckedAndReopenNeedsAnOpenSession) {
  TempFolder folder;
  const std::string path = folder.File("secret.mdb");
  std::string error;
  TDatabaseJet db;
  ASSERT_TRUE(db.Open("", "s;cret", path, error)) << error;
  ASSERT_TRUE(db.Reopen(error)) << error;
  EXPECT_EQ(db.Password, "s;cret");
  EXPECT_FALSE(db.Open("", "other", path, error));
  EXPECT_NE(error.find("password"), std::string::npos) << error;
  ASSERT_TRUE(db.Open("", "s;cret", path, error)) << error;
  db.Close();
  EXPECT_FALSE(db.Reopen(error));
}

TEST(ConnectionText, HasTheFixedFormWithValuesInsertedAsTheyAre) {
  TDatabaseJet db;
  EXPECT_EQ(db.BuildConnectionString("u", "p\"w", "/x/y.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=p\"w;Data Source=/x/y.mdb");
  TempFolder folder;
  provider::Catalog catalog;
  EXPECT_THROW(catalog.Create("Provider=Other.Provider;Data Source=" + folder.File("z.mdb")), Error);
  catalog.Create(db.BuildConnectionString("", "", folder.File("z.mdb")));
  EXPECT_THROW(catalog.Create(db.BuildConnectionString("", "", folder.File("z.mdb"))), Error);
}

using SessionStatements = SessionTest;

TEST_F(SessionStatements, AFailingStatementReportsMessageThenStatement) {
  const std::string sql = "SELECT * FROM NOSUCHTABLE";
  std::string error = "untouched";
  EXPECT_FALSE(db_.ExecSQL(sql, error));
  const auto separator = error.rfind(';');
  ASSERT_NE(separator, std::string::npos);
  EXPECT_EQ(error.substr(separator + 1), sql);
  EXPECT_NE(error.substr(0, separator).find("NOSUCHTABLE"), std::string::npos) << error;
}

TEST_F(SessionStatements, ListsStopAtTheFirstFailureAndSkipEmptyLines) {
  Exec("CREATE TABLE T (A INTEGER)");
  std::string error = "untouched";
  EXPECT_FALSE(db_.ExecSQLList({}, error));
  EXPECT_FALSE(db_.ExecSQLList({"", ""}, error));
  EXPECT_EQ(error, "untouched");

  EXPECT_FALSE(db_.ExecSQLList({"INSERT INTO T VALUES(1)", "", "INSERT INTO NOPE VALUES(2)",
                                "INSERT INTO T VALUES(3)"},
                               error));
  EXPECT_NE(error.find(";INSERT INTO NOPE VALUES(2)"), std::string::npos) << error;
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T").AsInteger(), 1);
  EXPECT_EQ(Scalar("SELECT MAX(A) FROM T").AsInteger(), 1);
}

TEST_F(SessionStatements, QuotesSemicolonsAndDashesRoundTripThroughUpdateAndSelect) {
  Exec("CREATE TABLE T (K TEXT(6) NOT NULL, TITLE MEMO)");
  Exec("INSERT INTO T(K) VALUES(\"100000\")");
  const std::string title = "He said \"stop\"; DROP TABLE T; -- 'x' /* y */ & [z]";
  Exec("UPDATE T SET TITLE=" + SqlQuote(title) + " WHERE K=" + SqlQuote("100000"));
  EXPECT_EQ(Scalar("SELECT TITLE FROM T WHERE K=" + SqlQuote("100000")).AsText(), title);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE TITLE=" + SqlQuote(title)).AsInteger(), 1);
}

TEST_F(SessionStatements, AmpersandReadsNullAsEmptyUnlessEveryOperandIsNull) {
  Exec("CREATE TABLE T (A MEMO, B MEMO, N INTEGER)");
  Exec("INSERT INTO T(A, B, N) VALUES(\"x\", NULL, 7)");
  EXPECT_EQ(Scalar("SELECT A&B&A FROM T"), Variant("xx"));
  EXPECT_EQ(Scalar("SELECT B&A&N FROM T"), Variant("x7"));
  EXPECT_TRUE(Scalar("SELECT B&B FROM T").IsNull());
  EXPECT_EQ(Scalar("SELECT LEFT(A&\"あいう\",3) FROM T"), Variant("xあい"));
}

TEST_F(SessionStatements, TextComparesWithoutLetterCaseAndMemoStaysText) {
  Exec("CREATE TABLE T (K TEXT(10) NOT NULL, M MEMO, CONSTRAINT PK_T PRIMARY KEY (K))");
  Exec("INSERT INTO T(K, M) VALUES(\"abc\", \"1.50\")");
  Exec("INSERT INTO T(K, M) VALUES(\"ＢＣＤ\", \"007\")");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE K=\"ABC\"").AsInteger(), 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE K=\"ｂｃｄ\"").AsInteger(), 1);
  EXPECT_EQ(Scalar("SELECT M FROM T WHERE K=\"abc\""), Variant("1.50"));
  EXPECT_EQ(Scalar("SELECT M FROM T WHERE K=\"ＢＣＤ\""), Variant("007"));
  EXPECT_EQ(Scalar("SELECT MIN(K) FROM T"), Variant("abc"));
  std::string error;
  EXPECT_FALSE(db_.ExecSQL("INSERT INTO T(K) VALUES(\"ABC\")", error));  // key is case-blind
}

TEST_F(SessionStatements, LikeFollowsTheDialectAndAMalformedPatternFails) {
  Exec("CREATE TABLE T (K TEXT(10), P TEXT(10))");
  Recordset rs;
  std::string error;
  EXPECT_FALSE(db_.OpenQuery("SELECT K FROM T WHERE K LIKE \"[abc\"", rs, error));  // even with no rows
  Exec("INSERT INTO T(K) VALUES(\"100%\")");
  Exec("INSERT INTO T(K) VALUES(\"Ｗindows\")");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE K LIKE \"%[%]\"").AsInteger(), 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE K LIKE \"ｗ_ndow[!x]\"").AsInteger(), 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T WHERE K NOT LIKE \"%w%\"").AsInteger(), 1);
  Exec("UPDATE T SET P=\"[z-a]\"");  // a pattern that only the rows hold
  EXPECT_FALSE(db_.OpenQuery("SELECT K FROM T WHERE K LIKE P", rs, error));
  EXPECT_NE(error.find("LIKE pattern"), std::string::npos) << error;
}

TEST_F(SessionStatements, ZeroLengthTextIsRefusedUntilTheColumnAllowsIt) {
  Exec("CREATE TABLE T (K TEXT(6) NOT NULL, TITLE MEMO, N INTEGER)");
  std::string error;
  EXPECT_FALSE(db_.ExecSQL("INSERT INTO T(K, TITLE) VALUES(\"1\", \"\")", error));
  EXPECT_NE(error.find("T.TITLE"), std::string::npos) << error;
  EXPECT_NE(error.find("zero-length"), std::string::npos) << error;

  ASSERT_TRUE(db_.AllowZeroLength("T", error)) << error;
  Exec("INSERT INTO T(K, TITLE) VALUES(\"1\", \"\")");
  EXPECT_EQ(Scalar("SELECT TITLE FROM T"), Variant(""));
  EXPECT_FALSE(db_.ExecSQL("UPDATE T SET K=\"\"", error));  // not nullable: still refused

  // The setting is kept in the file.
  ASSERT_TRUE(db_.Reopen(error)) << error;
  Exec("UPDATE T SET TITLE=\"\" WHERE K=\"1\"");
  for (const auto& column : db_.Catalog->TableByName("t").Columns()) {
    const bool expected = column.Name() == "TITLE";
    EXPECT_EQ(column.GetProperty(provider::AllowZeroLengthProperty), Variant(expected)) << column.Name();
    EXPECT_EQ(column.GetProperty(provider::NullableProperty), Variant(column.Name() != "K"));
  }
}

TEST_F(SessionStatements, TextLongerThanItsColumnIsRefused) {
  Exec("CREATE TABLE T (K TEXT(6) NOT NULL)");
  std::string error;
  EXPECT_FALSE(db_.ExecSQL("INSERT INTO T(K) VALUES(\"1234567\")", error));
  EXPECT_NE(error.find("T.K"), std::string::npos) << error;
  Exec("INSERT INTO T(K) VALUES(\"あいうえおか\")");  // six characters, eighteen bytes
  EXPECT_FALSE(db_.ExecSQL("UPDATE T SET K=K&\"x\"", error));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM T").AsInteger(), 1);
}

TEST_F(SessionStatements, CatalogListsTablesAndViewsAndReportsTypes) {
  Exec("CREATE TABLE T (A TEXT(6), B MEMO, C INTEGER, D DOUBLE, E DATETIME)");
  Exec("CREATE VIEW V AS SELECT A FROM T");
  std::vector<std::string> names{"kept"};
  db_.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "T", "V"}));

  const auto columns = db_.Catalog->TableByName("T").Columns();
  ASSERT_EQ(columns.size(), 5u);
  const bool text[] = {true, true, false, false, false};
  for (std::size_t i = 0; i < columns.size(); ++i) EXPECT_EQ(TDatabaseJet::IsTextColumn(columns[i]), text[i]);

  std::string error;
  EXPECT_THROW(db_.AllowZeroLength("NOSUCH", error), Error);
  Exec("CREATE TABLE NUMBERS (N INTEGER)");
  EXPECT_TRUE(db_.AllowZeroLength("NUMBERS", error));
}

TEST_F(SessionStatements, QueriesWalkRowsAndGiveNullForNullFields) {
  Exec("CREATE TABLE T (K TEXT(6), N INTEGER)");
  Recordset rs;
  std::string error;
  ASSERT_TRUE(db_.OpenQuery("SELECT K, N FROM T", rs, error)) << error;
  EXPECT_TRUE(db_.IsEmpty(rs));
  EXPECT_THROW(db_.FieldByIndex(rs, 0), Error);
  db_.CloseQuery(rs);
  EXPECT_FALSE(rs.IsAssigned());

  Exec("INSERT INTO T(K, N) VALUES(\"a\", NULL)");
  Exec("INSERT INTO T(K, N) VALUES(\"b\", 2)");
  ASSERT_TRUE(db_.OpenQuery("SELECT K, N FROM T ORDER BY K", rs, error)) << error;
  EXPECT_EQ(db_.FieldCount(rs), 2);
  EXPECT_FALSE(db_.IsEmpty(rs));
  EXPECT_TRUE(db_.FieldByName(rs, "n").IsNull());
  EXPECT_EQ(NullTo(db_.FieldByIndex(rs, 1), Variant(-1)), Variant(-1));
  db_.Next(rs);
  EXPECT_EQ(db_.FieldByName(rs, "K"), Variant("b"));
  EXPECT_EQ(db_.FieldByIndex(rs, 1), Variant(2));
  EXPECT_THROW(db_.FieldByName(rs, "nosuch"), Error);
  db_.Next(rs);
  EXPECT_TRUE(db_.Eof(rs));
  EXPECT_FALSE(db_.Bof(rs));
  EXPECT_THROW(db_.Next(rs), Error);
  db_.CloseQuery(rs);
  EXPECT_THROW(db_.CloseQuery(rs), Error);

  db_.Close();
  EXPECT_FALSE(db_.OpenQuery("SELECT K FROM T", rs, error));
  EXPECT_FALSE(error.empty());
  std::vector<std::string> names;
  EXPECT_THROW(db_.GetTableNames(names), Error);
}

TEST_F(SessionStatements, PreparedStatementsRunAgainAndFollowTheSessionToANewConnection) {
  Exec("CREATE TABLE T (K TEXT(6), N INTEGER)");
  PreparedSql insert("INSERT INTO T(K,N) VALUES(\"a\",1)");
  PreparedSql count("SELECT COUNT(*) AS C FROM T");
  std::string error;
  auto countNow = [&] {
    Recordset rs;
    EXPECT_TRUE(db_.OpenQuery(count, rs, error)) << error;
    const auto value = db_.FieldByName(rs, "C").AsInteger();
    db_.CloseQuery(rs);
    return value;
  };
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(db_.ExecSQL(insert, error)) << error;
  EXPECT_EQ(countNow(), 3);
  EXPECT_EQ(countNow(), 3);  // a closed query runs again from its start

  // A reopened session and a compacted file are new connections.
  ASSERT_TRUE(db_.Reopen(error)) << error;
  ASSERT_TRUE(db_.ExecSQL(insert, error)) << error;
  ASSERT_TRUE(db_.Compact(error)) << error;
  EXPECT_EQ(countNow(), 4);

  db_.Close();
  EXPECT_FALSE(db_.ExecSQL(insert, error));
  Recordset rs;
  EXPECT_FALSE(db_.OpenQuery(count, rs, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(SessionStatements, AFailingPreparedStatementReportsMessageThenStatementAndStaysUsable) {
  Exec("CREATE TABLE T (K TEXT(6) NOT NULL, CONSTRAINT PK_T PRIMARY KEY (K))");
  PreparedSql insert("INSERT INTO T(K) VALUES(\"a\")");
  std::string error;
  ASSERT_TRUE(db_.ExecSQL(insert, error)) << error;
  EXPECT_FALSE(db_.ExecSQL(insert, error));
  EXPECT_TRUE(error.ends_with(";" + insert.Text())) << error;
  Exec("DELETE FROM T");
  EXPECT_TRUE(db_.ExecSQL(insert, error)) << error;

  PreparedSql broken("SELECT FROM WHERE");
  EXPECT_FALSE(db_.ExecSQL(broken, error));
  PreparedSql schema("CREATE TABLE U (K TEXT(6))");
  EXPECT_FALSE(db_.ExecSQL(schema, error));
}

TEST(SqlValues, QuoteDoublesInnerQuotesAndNullToKeepsEmpty) {
  EXPECT_EQ(SqlQuote("a\"b\"\""), "\"a\"\"b\"\"\"\"\"");
  EXPECT_EQ(SqlQuote(""), "\"\"");
  EXPECT_TRUE(NullTo(Variant(), Variant(5)).IsEmpty());
  EXPECT_EQ(NullTo(Variant::Null(), Variant(5)), Variant(5));
  EXPECT_EQ(Variant(" 123 ").AsInteger(), 123);
  EXPECT_THROW(Variant("12a").AsInteger(), Error);
  EXPECT_THROW(Variant::Null().AsInteger(), Error);
}

}  // namespace
}  // namespace velt::testing
