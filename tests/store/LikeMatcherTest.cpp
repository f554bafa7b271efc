#include "store/provider/LikeMatcher.h"

#include <gtest/gtest.h>

#include <string>

namespace velt::provider {
namespace {

bool Like(const std::string& text, const std::string& pattern) {
  const LikeResult result = MatchLike(text, pattern);
  EXPECT_NE(result, LikeResult::Malformed) << pattern;
  return result == LikeResult::Match;
}

TEST(LikeMatcher, PercentMatchesAnyRunIncludingNone) {
  EXPECT_TRUE(Like("registry editor", "%registry%"));
  EXPECT_TRUE(Like("registry", "%registry%"));
  EXPECT_TRUE(Like("", "%"));
  EXPECT_TRUE(Like("abcabc", "%a%c"));
  EXPECT_FALSE(Like("abcab", "%a%c"));
  EXPECT_FALSE(Like("registry editor", "registry"));  // the whole text must match
  EXPECT_TRUE(Like("aab", "%ab"));        // the first candidate "a" is not the one
  EXPECT_TRUE(Like("xAxAB", "%x%ab"));
  EXPECT_FALSE(Like("abc", "%abd%"));
}

TEST(LikeMatcher, UnderscoreMatchesExactlyOneCharacter) {
  EXPECT_TRUE(Like("ball", "b_ll"));
  EXPECT_FALSE(Like("bll", "b_ll"));
  EXPECT_FALSE(Like("baall", "b_ll"));
  EXPECT_TRUE(Like("bあll", "b_ll"));  // one character, three bytes
}

TEST(LikeMatcher, BracketListsRangesAndNegation) {
  EXPECT_TRUE(Like("bell", "b[ae]ll"));
  EXPECT_FALSE(Like("bill", "b[ae]ll"));
  EXPECT_TRUE(Like("bill", "b[!ae]ll"));
  EXPECT_FALSE(Like("bell", "b[!ae]ll"));
  EXPECT_TRUE(Like("bbd", "b[a-c]d"));
  EXPECT_FALSE(Like("bdd", "b[a-c]d"));
  EXPECT_TRUE(Like("a-b", "a[-x]b"));   // "-" first is literal
  EXPECT_TRUE(Like("axb", "a[x-]b"));   // "-" last is literal
}

TEST(LikeMatcher, BracketsMakeWildcardsLiteral) {
  EXPECT_TRUE(Like("100%", "100[%]"));
  EXPECT_FALSE(Like("1000", "100[%]"));
  EXPECT_TRUE(Like("a_b", "a[_]b"));
  EXPECT_FALSE(Like("axb", "a[_]b"));
  EXPECT_TRUE(Like("[x]", "[[]x]"));  // "]" outside a list is itself
}

TEST(LikeMatcher, IgnoresLetterCaseIncludingFullWidthLatin) {
  EXPECT_TRUE(Like("Windows XP", "%windows xp%"));
  EXPECT_TRUE(Like("ＷＩＮＤＯＷＳ", "%ｗｉｎｄｏｗｓ%"));
  EXPECT_TRUE(Like("Ｂ", "[ａ-ｃ]"));
  EXPECT_FALSE(Like("Ｗ", "w"));  // width is not folded
  EXPECT_TRUE(Like("ÉCOLE", "école"));
}

TEST(LikeMatcher, MalformedPatternsAreReportedNotMatched) {
  EXPECT_EQ(MatchLike("abc", "a[bc"), LikeResult::Malformed);
  EXPECT_EQ(MatchLike("abc", "["), LikeResult::Malformed);
  EXPECT_EQ(MatchLike("abc", "[z-a]"), LikeResult::Malformed);
  EXPECT_EQ(MatchLike("", "%[!"), LikeResult::Malformed);
}

TEST(LikeMatcher, BrokenUtf8InTextIsMatchedByteForByte) {
  EXPECT_TRUE(Like(std::string("a\xff" "b"), "a_b"));
  EXPECT_FALSE(Like(std::string("a\xe3\x81"), "a_"));  // a cut-off sequence is two characters
}

TEST(LikeMatcher, ManyPercentSignsOnALongMismatchFinish) {
  // A backtracking matcher would take exponential time here.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "%a";
  pattern += "%b";
  EXPECT_FALSE(Like(std::string(5000, 'a'), pattern));
}

}  // namespace
}  // namespace velt::provider
