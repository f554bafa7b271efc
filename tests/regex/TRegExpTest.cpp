#include <gtest/gtest.h>

#include "platform/Error.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {
namespace {

// Values of every match of `pattern` in `text`, joined by "|".
std::u16string AllMatches(std::u16string_view pattern, std::u16string_view text, bool ignoreCase = false) {
  TRegExp re;
  re.SetPattern(pattern);
  re.SetIgnoreCase(ignoreCase);
  re.SetGlobal(true);
  const TMatchCollection matches = re.Execute(text);
  std::u16string joined;
  for (int i = 0; i < matches.Count(); ++i) joined += (i ? u"|" : u"") + matches.Item(i).Value();
  return joined;
}

bool Matches(std::u16string_view pattern, std::u16string_view text, bool ignoreCase = false) {
  TRegExp re;
  re.SetPattern(pattern);
  re.SetIgnoreCase(ignoreCase);
  return re.Execute(text).Count() > 0;
}

TEST(TRegExpTest, AnchorsAreThoseOfTheWholeText) {
  EXPECT_TRUE(Matches(u"^ab", u"abc"));
  EXPECT_FALSE(Matches(u"^b", u"a\nb"));   // no multi-line mode
  EXPECT_FALSE(Matches(u"a$", u"a\nb"));
  EXPECT_FALSE(Matches(u"a$", u"a\n"));    // not before a final line break either
  EXPECT_TRUE(Matches(u"(^x)", u"xy"));
}

TEST(TRegExpTest, CharacterClassesOfTheDialect) {
  EXPECT_EQ(AllMatches(u"a.b", u"a\nb a\rb a\tb aあb"), u"a\tb|aあb");
  EXPECT_EQ(AllMatches(u"x[\\s]+y", u"x \t\r\n\v\fy"), u"x \t\r\n\v\fy");
  EXPECT_EQ(AllMatches(u"[^\\s\">]+", u"charset=\"euc-jp\">"), u"charset=|euc-jp");
  EXPECT_EQ(AllMatches(u"\\u3042+", u"いああう"), u"ああ");
  EXPECT_FALSE(Matches(u"[]", u"abc"));
  EXPECT_EQ(AllMatches(u"a[^]c", u"a\nc"), u"a\nc");
}

TEST(TRegExpTest, IgnoreCaseFoldsLettersBeyondAscii) {
  EXPECT_TRUE(Matches(u"<TITLE>", u"<title>", true));
  EXPECT_FALSE(Matches(u"<TITLE>", u"<title>", false));
  EXPECT_TRUE(Matches(u"ＡＢＣ", u"ａｂｃ", true));  // full-width Latin
  EXPECT_TRUE(Matches(u"Ωμέγα", u"ωΜΈΓΑ", true));
}

TEST(TRegExpTest, SurrogatePairsAreSingleCharacters) {
  EXPECT_EQ(AllMatches(u"^.$", u"\U0001F600"), u"\U0001F600");
  EXPECT_EQ(AllMatches(u"[^a]", u"\U0001F600a"), u"\U0001F600");
  // Broken units in the text do not stop the search; they just never match.
  const std::u16string broken = std::u16string(u"x") + char16_t(0xD800) + u"y";
  EXPECT_EQ(AllMatches(u"[xy]", broken), u"x|y");
  EXPECT_EQ(AllMatches(u"x.y", broken), u"");
}

TEST(TRegExpTest, GlobalFindsEveryMatchAndStepsOverEmptyOnes) {
  EXPECT_EQ(AllMatches(u"[0-9]+", u"a12b3c456"), u"12|3|456");
  EXPECT_EQ(AllMatches(u"x*", u"axxb"), u"|xx||");
  EXPECT_EQ(AllMatches(u"x*", u"\U0001F600"), u"|");  // never stops inside a pair
  EXPECT_EQ(AllMatches(u"q", u""), u"");

  TRegExp re;
  re.SetPattern(u"[0-9]+");
  const TMatchCollection first = re.Execute(u"a12b3");
  ASSERT_EQ(first.Count(), 1);
  EXPECT_EQ(first.Item(0).Value(), u"12");
  EXPECT_EQ(first.Item(0).FirstIndex(), 1);
  EXPECT_EQ(first.Item(0).Length(), 2);
}

TEST(TRegExpTest, SubMatchesHoldEveryGroupUnsetOnesEmpty) {
  TRegExp re;
  re.SetPattern(u"(a)(x)?(b)");
  const TMatchCollection matches = re.Execute(u"zab");
  ASSERT_EQ(matches.Count(), 1);
  const TSubMatches& groups = matches.Item(0).SubMatches();
  ASSERT_EQ(groups.Count(), 3);
  EXPECT_EQ(groups.Item(0), u"a");
  EXPECT_EQ(groups.Item(1), u"");
  EXPECT_EQ(groups.Item(2), u"b");
  EXPECT_THROW(groups.Item(3), Error);
  EXPECT_THROW(matches.Item(-1), Error);
  EXPECT_THROW(matches.Item(1), Error);
}

TEST(TRegExpTest, InvalidPatternsRaiseWithAMessage) {
  TRegExp re;
  re.SetPattern(u"(abc");
  try {
    re.Execute(u"abc");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("(abc"), std::string::npos) << e.what();
  }
  // The object stays usable, and a failed pattern is not remembered as valid.
  EXPECT_THROW(re.Execute(u"abc"), Error);
  re.SetPattern(u"b");
  EXPECT_EQ(re.Execute(u"abc").Count(), 1);
  re.SetPattern(std::u16string(1, char16_t(0xDC00)));  // lone surrogate
  EXPECT_THROW(re.Execute(u"abc"), Error);
}

// Patterns and flags may change between calls and every call uses the
// current ones, however many distinct patterns come by.
TEST(TRegExpTest, EachExecuteUsesTheCurrentPatternAndFlags) {
  TRegExp re;
  re.SetPattern(u"abc");
  EXPECT_EQ(re.Execute(u"ABC").Count(), 0);
  re.SetIgnoreCase(true);
  EXPECT_EQ(re.Execute(u"ABC").Count(), 1);
  re.SetIgnoreCase(false);
  EXPECT_EQ(re.Execute(u"ABC").Count(), 0);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 100; ++i) {
      const std::u16string digits(1, char16_t(u'0' + i % 10));
      re.SetPattern(u"x" + digits + u"{" + std::u16string(1, char16_t(u'1' + i / 10 % 9)) + u"}");
      const std::u16string text = u"x" + std::u16string(i / 10 % 9 + 1, digits[0]);
      ASSERT_EQ(re.Execute(text).Count(), 1) << i;
    }
  }
}

TEST(TRegExpTest, RunawayBacktrackingRaisesInsteadOfHanging) {
  TRegExp re;
  re.SetPattern(u"(a+)+[bc]");
  EXPECT_THROW(re.Execute(std::u16string(40, u'a')), Error);
}

}  // namespace
}  // namespace velt
