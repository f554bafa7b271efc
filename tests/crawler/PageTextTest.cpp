#include <gtest/gtest.h>

#include <string>

#include "crawler/PageText.h"
#include "platform/Encoding.h"

namespace velt {
namespace {

const std::string kNihongoUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語
const std::string kNihongoSjis = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kNihongoEuc = "\xC6\xFC\xCB\xDC\xB8\xEC";
const std::string kNihongoJis = "\x1B$BF|K\\8l\x1B(J";

TEST(PageTextTest, DecodesOneTwoAndThreeByteSequences) {
  const std::string text = "a\xC3\xA9" + kNihongoUtf8;  // a, é, 日本語
  EXPECT_EQ(DecodePageUtf8(text), u"a\u00E9\u65E5\u672C\u8A9E");
}

TEST(PageTextTest, ABrokenSequenceInsideTheTextEmptiesTheWholeResult) {
  EXPECT_EQ(DecodePageUtf8("abc\xE6\x97" "d" + kNihongoUtf8), u"");
  EXPECT_EQ(DecodePageUtf8("abc\xC3" "d"), u"");
  // A stray continuation byte counts as a lead byte that needs a partner.
  EXPECT_EQ(DecodePageUtf8("abc\x80xyz"), u"");
}

TEST(PageTextTest, ASequenceCutOffByTheEndIsDroppedAndTheRestKept) {
  const std::string whole = "title " + kNihongoUtf8;
  for (size_t cut = 1; cut < 3; ++cut) {
    const std::string answer = whole.substr(0, whole.size() - cut);
    EXPECT_EQ(DecodePageUtf8(answer), u"title \u65E5\u672C") << "cut " << cut;
  }
  EXPECT_EQ(DecodePageUtf8("x\xC3"), u"x");
}

TEST(PageTextTest, FourByteCharactersKeepTheRestOfThePage) {
  // One emoji or rarer kanji used to empty the whole page.
  const struct {
    std::string utf8;
    std::u16string decoded;
    std::string cp932;
  } cases[] = {
      {"\xF0\x9F\x98\x80!", u"\U0001F600!", "?!"},
      {"\xF0\xA0\xAE\xB7" + kNihongoUtf8, u"\U00020BB7\u65E5\u672C\u8A9E", "?" + kNihongoSjis},
      {"a\xF0\x9F\x98", u"a", "a"},    // cut off by the end: dropped
      {"a\xF4\x90\x80\x80" "b", u"", ""},  // beyond U+10FFFF: broken
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodePageUtf8(c.utf8), c.decoded) << c.cp932;
    std::string text = c.utf8;
    ConvertPageText("utf-8", text);
    EXPECT_EQ(text, c.cp932);
  }
}

TEST(PageTextTest, CharsetNamesPickTheirConversion) {
  struct Case {
    const char* charset;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"Shift_JIS", kNihongoEuc, kNihongoEuc},        // trusted as is
      {"x-xsjis-foo", kNihongoEuc, kNihongoEuc},
      {"SHIFT_jis", kNihongoSjis, kNihongoSjis},
      {"utf-8", kNihongoUtf8 + "\xC3\xA9", kNihongoSjis + "?"},  // é is not in code page 932
      {"text/html; UTF-8", "a" + kNihongoUtf8, "a" + kNihongoSjis},
      {"EUC-JP", kNihongoEuc, kNihongoSjis},
      {"x-euc", kNihongoEuc, kNihongoSjis},
      {"", kNihongoJis, kNihongoSjis},                // detected
      {"UTF8", kNihongoEuc, kNihongoSjis},            // no hyphen: detected as EUC-JP
      {"x-sjis", kNihongoJis, kNihongoSjis},          // neither word: detected
      {"iso-2022-jp", kNihongoSjis, kNihongoSjis},    // detected as Shift_JIS: unchanged
  };
  for (const Case& c : cases) {
    std::string text = c.input;
    ConvertPageText(c.charset, text);
    EXPECT_EQ(text, c.expected) << "charset " << c.charset;
  }
}

TEST(PageTextTest, UnpairedSurrogatesFromTheDecoderBecomeQuestionMarks) {
  std::string text = "a\xED\xA0\x80z";  // three-byte form of a lone surrogate
  ConvertPageText("utf-8", text);
  EXPECT_EQ(text, "a?z");
}

}  // namespace
}  // namespace velt
