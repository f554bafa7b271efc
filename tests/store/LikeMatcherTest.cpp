#include "store/provider/LikeMatcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/Encoding.h"
#include "store/provider/TextFolding.h"

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
  EXPECT_FALSE(Like("xregistry", "registry%"));        // from its first character
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

struct LikeCase {
  const char* text;
  const char* pattern;
  bool matches;
};

void ExpectCases(std::initializer_list<LikeCase> cases) {
  for (const LikeCase& c : cases) EXPECT_EQ(Like(c.text, c.pattern), c.matches) << c.text << " LIKE " << c.pattern;
}

TEST(LikeMatcher, IgnoresCaseWidthAndKanaTypeButNotVoicingOrSize) {
  ExpectCases({
      {"Windows XP", "%windows xp%", true},
      {"windows xp の終了", "%ＸＰ%", true},
      {"ＸＰ", "xp", true},
      {"１２３＃", "123#", true},
      {"ÉCOLE Σ", "école σ", true},
      {"ｶﾞｲﾄﾞ", "ガイド", true},
      {"ﾊﾟｿｺﾝ", "ぱそこん", true},
      {"みかん", "ﾐｶﾝ", true},
      {"ぁゔ", "ァヴ", true},
      {"ｰ｢｣､｡･", "ー「」、。・", true},
      {"a　b", "a b", true},
      {"ｱﾞ", "ア゛", true},  // ア takes no sound mark: two characters
      {"カ\u3099イト\u3099", "ガイド", true},  // decomposed
      {"は\u309Aそこん", "パソコン", true},
      {"ア\u3099", "ア_", true},
      // Typed forms of characters that code page 932 text brings back otherwise.
      {"Windows ～ XP", "%〜%", true},
      {"a－b―c∥", "a−b—c‖", true},
      {"￠￡￢", "¢£¬", true},
      {"C:\\Windows ~", "c:¥windows ‾", true},
      {"－", "~", false},
      {"カイト", "ガイド", false},
      {"ﾃﾞｨｽｺ", "%ディスク%", false},
      {"ァ", "ア", false},
      {"ｶ", "ガ", false},
      {"ｶﾞ", "カ%", false},
      {"日本", "曰本", false},
  });
}

TEST(LikeMatcher, EveryCharacterThatFoldsToAsciiIsFoundAfterAPercentSign) {
  int found = 0;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    const char32_t folded = FoldCharacter(c);
    if ((c >= 0xD800 && c <= 0xDFFF) || folded >= 0x80 || folded == '[') continue;
    std::string text = "x";
    AppendUtf8(text, c);
    EXPECT_TRUE(Like(text, "%" + std::string(1, static_cast<char>(folded))))
        << std::hex << static_cast<std::uint32_t>(c);
    ++found;
  }
  EXPECT_GT(found, 94);  // the full-width forms and more
}

TEST(LikeMatcher, UnderscoreCountsCharactersAsStoredAndNeverSplitsAKanaFromItsMark) {
  ExpectCases({
      {"ガ", "_", true},
      {"ｶﾞ", "__", true},
      {"ｶﾞ", "_", false},
      {"ｶﾞ", "_ﾞ", false},
      {"ｶﾞ", "ｶ_", false},
      {"ｶﾞｲﾄﾞ", "ガ___", true},
      {"カ\u3099", "__", true},
      {"カ\u3099", "_", false},
      {"ｶﾞｲﾄﾞ", "_____", true},
      {"ｶﾞｲﾄﾞ", "%__", true},
      {"ｶﾞｲﾄﾞ", "____", false},
      {"ｱﾞ", "_ﾞ", true},
      {"xｶﾞy", "%x__y%", true},
  });
}

TEST(LikeMatcher, ListMembersAndRangesMatchEveryCharacterThatFoldsIntoThem) {
  ExpectCases({
      {"Ｂ", "[a-c]", true},
      {"b", "[Ａ-Ｃ]", true},
      {"ｶﾞ", "[が]", true},
      {"ガ", "[ｶﾞ]", true},
      {"ｶﾞ", "[か-ご]", true},
      {"ｶﾞ", "[!が]", false},
      {"カ", "[!が]", true},
      {"ｶﾞ", "[!]", true},
      {"ｶﾞ", "[!][!]", false},
  });
  EXPECT_EQ(MatchLike("a", "[ｃ-A]"), LikeResult::Malformed);  // descends once folded
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
