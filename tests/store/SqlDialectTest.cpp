#include "store/provider/SqlDialect.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

namespace velt::provider {
namespace {

std::string Sql(const std::string& dialect) { return TranslateSql(dialect).sql; }

TEST(SqlDialect, DoubleQuotedTextIsALiteralNeverAName) {
  EXPECT_EQ(Sql("SELECT * FROM T WHERE (KBID=\"KBID\")"), "SELECT * FROM T WHERE (KBID='KBID' COLLATE VELT_NOCASE)");
  EXPECT_EQ(Sql("UPDATE T SET A=\"say \"\"hi\"\"; it's --x\""),
            "UPDATE T SET A='say \"hi\"; it''s --x' COLLATE VELT_NOCASE");
  EXPECT_EQ(Sql("SELECT [my col] FROM T"), "SELECT \"my col\" FROM T");
}

TEST(SqlDialect, AdjacentOperatorsNeverFormACommentForTheEngine) {
  EXPECT_EQ(Sql("SELECT 1--1"), "SELECT 1- -1");
  EXPECT_EQ(Sql("SELECT 4/*2"), "SELECT 4/ *2");
}

TEST(SqlDialect, AmpersandChainsBecomeOneCallBoundByComparisons) {
  EXPECT_EQ(Sql("SELECT A&B&C FROM T"), "SELECT velt_concat((A),(B),(C)) COLLATE VELT_NOCASE FROM T");
  EXPECT_EQ(Sql("SELECT * FROM T WHERE A&B=\"x\" AND C=D"),
            "SELECT * FROM T WHERE velt_concat((A),(B)) COLLATE VELT_NOCASE='x' COLLATE VELT_NOCASE AND C=D");
  EXPECT_EQ(Sql("SELECT A+1&B FROM T"), "SELECT velt_concat((A+1),(B)) COLLATE VELT_NOCASE FROM T");
  EXPECT_EQ(Sql("SELECT (A&B) AS X FROM T"), "SELECT (velt_concat((A),(B)) COLLATE VELT_NOCASE) AS X FROM T");
}

TEST(SqlDialect, SearchConditionKeepsItsPatternIntact) {
  EXPECT_EQ(Sql("SELECT KBID FROM V WHERE (LEFT(KBID&URL&TITLE,5000) LIKE \"%a&b[%]%\")"),
            "SELECT KBID FROM V WHERE (velt_left(velt_concat((KBID),(URL),(TITLE)) COLLATE VELT_NOCASE,5000) "
            "COLLATE VELT_NOCASE LIKE '%a&b[%]%' COLLATE VELT_NOCASE)");
}

TEST(SqlDialect, CreateTableMapsTextTypesAndReportsTheTable) {
  const TranslatedSql t =
      TranslateSql("CREATE TABLE X ( A TEXT(6) NOT NULL, B MEMO, C INTEGER, D TEXT, "
                   "CONSTRAINT PK_X PRIMARY KEY (A));");
  EXPECT_EQ(t.kind, TranslatedSql::Kind::CreateTable);
  EXPECT_EQ(t.tableName, "X");
  EXPECT_EQ(t.sql,
            "CREATE TABLE X ( A TEXT(6) COLLATE VELT_NOCASE NOT NULL, B LONGTEXT COLLATE VELT_NOCASE, "
            "C INTEGER, D TEXT(255) COLLATE VELT_NOCASE, CONSTRAINT PK_X PRIMARY KEY (A))");
  EXPECT_THROW(TranslateSql("CREATE TABLE X (A TEXT(256))"), Error);
  EXPECT_EQ(TranslateSql("DROP TABLE [X]").kind, TranslatedSql::Kind::DropTable);
}

TEST(SqlDialect, IndexStatementsTakeTheEnginesFormAndViewDropsAreReported) {
  EXPECT_EQ(Sql("CREATE INDEX IX ON T (A, [B C] DESC)"), "CREATE INDEX IX ON T (A, \"B C\" DESC)");
  EXPECT_EQ(Sql("CREATE UNIQUE INDEX IX ON T (A)"), "CREATE UNIQUE INDEX IX ON T (A)");
  EXPECT_EQ(Sql("DROP INDEX IX ON T"), "DROP INDEX IX");
  EXPECT_THROW(TranslateSql("CREATE INDEX IX ON T (A) WITH DISALLOW NULL"), Error);
  const TranslatedSql drop = TranslateSql("DROP VIEW V");
  EXPECT_EQ(drop.kind, TranslatedSql::Kind::DropView);
  EXPECT_EQ(drop.tableName, "V");
}

TEST(SqlDialect, RefusesWhatItCannotMeanSafely) {
  EXPECT_THROW(TranslateSql("SELECT \"abc"), Error);
  EXPECT_THROW(TranslateSql("SELECT [abc"), Error);
  EXPECT_THROW(TranslateSql("DELETE FROM T; DROP TABLE T"), Error);
  EXPECT_THROW(TranslateSql("SELECT * FROM T WHERE A=?"), Error);
  EXPECT_THROW(TranslateSql("SELECT * FROM T WHERE A=:x"), Error);
  EXPECT_THROW(TranslateSql("SELECT * FROM T WHERE A LIKE \"a[b\""), Error);
  EXPECT_EQ(Sql("SELECT 1;  ; "), "SELECT 1");
}

}  // namespace
}  // namespace velt::provider
