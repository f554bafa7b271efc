// The statement that the search runs for what the user typed.
#include <gtest/gtest.h>

#include <QLocale>

#include "session/SearchTerms.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

const std::string kSelect = "SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEXV";

std::string StatementFor(const char* input) { return BuildSearchSql(ParseSearchTerms(QString::fromUtf8(input))); }

std::string Condition(const std::string& quoted) {
  return "LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE " + quoted;
}

std::string Where(const std::vector<std::string>& quotedTerms) {
  std::string where;
  for (const std::string& term : quotedTerms) where += (where.empty() ? " WHERE (" : " AND (") + Condition(term) + ")";
  return kSelect + where;
}

TEST(SearchStatement, WorkedExampleOfTwoPatternsSeparatedByAFullWidthSpace) {
  EXPECT_EQ(StatementFor("%WINDOWS%　%XP%"),
            "SELECT KBID,URL,TITLE,DESCRIPTION,KEYWORDS FROM VELTINDEXV WHERE "
            "(LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%WINDOWS%\") AND "
            "(LEFT(KBID&URL&TITLE&DESCRIPTION&KEYWORDS,5000) LIKE \"%XP%\")");
}

TEST(SearchStatement, NoTermsGiveNoWhereText) {
  for (const char* input : {"", "   ", ",,, , ,", "　,　", "\"\"", " \" \" "}) {
    EXPECT_EQ(StatementFor(input), kSelect) << input;
  }
}

TEST(SearchStatement, BlanksCommasFullWidthSpacesAndControlsAllSeparate) {
  const std::string expected = Where({"\"%a%\"", "\"%b%\""});
  for (const char* input : {"%a% %b%", "%a%,%b%", "%a%　%b%", "%a% , %b%", "  %a%\t%b%  ", ",%a%,,%b%,"}) {
    EXPECT_EQ(StatementFor(input), expected) << input;
  }
}

TEST(SearchStatement, TermsAreSortedIgnoringLetterCaseAndCaseDuplicatesDropped) {
  EXPECT_EQ(StatementFor("b a"), Where({"\"a\"", "\"b\""}));
  EXPECT_EQ(StatementFor("B a"), Where({"\"a\"", "\"B\""}));
  EXPECT_EQ(StatementFor("abc ABC"), Where({"\"abc\""}));
  EXPECT_EQ(StatementFor("ABC x abc Abc"), Where({"\"ABC\"", "\"x\""}));
  EXPECT_EQ(StatementFor("c b a c"), Where({"\"a\"", "\"b\"", "\"c\""}));
}

// Sorting and dropping duplicates look at letter case only, in any locale
// (the empty name keeps the one the environment gives, see CMakeLists.txt).
class SearchTermsInLocale : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (*GetParam()) QLocale::setDefault(QLocale(QString::fromLatin1(GetParam())));
  }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_P(SearchTermsInLocale, OnlyLetterCaseMakesTwoTermsOne) {
  const struct {
    const char* input;
    std::vector<std::string> terms;
  } cases[] = {
      {"ﾃﾞｨｽｸ ディスク でぃすく", {"でぃすく", "ディスク", "ﾃﾞｨｽｸ"}},
      {"ＸＰ xp XP ｘｐ", {"xp", "ＸＰ"}},
      {"b A a B", {"A", "b"}},
      {"ｶﾞｲﾄﾞ ガイド", {"ガイド", "ｶﾞｲﾄﾞ"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSearchTerms(QString::fromUtf8(c.input)), c.terms) << c.input;
}

INSTANTIATE_TEST_SUITE_P(Locales, SearchTermsInLocale, ::testing::Values("", "ja_JP", "C"));

TEST(SearchStatement, QuotedTermsKeepBlanksAndInnerCommasAndDoubleTheirQuotes) {
  EXPECT_EQ(StatementFor("\"a b,c\" d"), Where({"\"a b,c\"", "\"d\""}));
  EXPECT_EQ(StatementFor("\"say \"\"hi\"\"\""), Where({"\"say \"\"hi\"\"\""}));
  EXPECT_EQ(StatementFor("ab\"c"), Where({"\"ab\"\"c\""}));
  // Commas and blanks at either end of a quoted term are trimmed away.
  EXPECT_EQ(StatementFor("\", a ,\""), Where({"\"a\""}));
  // What follows a closing quote directly is the next term.
  EXPECT_EQ(StatementFor("\"y\"x"), Where({"\"x\"", "\"y\""}));
  // A full-width space inside quotes is a blank like any other.
  EXPECT_EQ(StatementFor("\"p　q\""), Where({"\"p q\""}));
}

TEST(SearchStatement, AnUnclosedQuoteTakesTheRestOfTheText) {
  EXPECT_EQ(StatementFor("x \"rest of, text"), Where({"\"rest of, text\"", "\"x\""}));
  EXPECT_EQ(StatementFor("\"z"), Where({"\"z\""}));
}

}  // namespace
}  // namespace velt
