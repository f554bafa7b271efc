#include "platform/Encoding.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

// "日本語ｶﾅ" in code page 932.
const std::string kSjis = "\x93\xfa\x96\x7b\x8c\xea\xb6\xc5";
const std::string kUtf8 = "日本語ｶﾅ";

TEST(EncodingTest, RoundTripsBetweenAllThreeForms) {
  EXPECT_EQ(Cp932ToUtf8(kSjis), kUtf8);
  EXPECT_EQ(Utf8ToCp932(kUtf8), kSjis);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(kUtf8)), kUtf8);
  EXPECT_EQ(Utf16ToCp932(Cp932ToUtf16(kSjis)), kSjis);
  EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x98\x80"), std::u16string(u"a\U0001F600"));
}

TEST(EncodingTest, ZeroBytesAreKept) {
  const std::string text("a\0b", 3);
  EXPECT_EQ(Cp932ToUtf8(text), text);
  EXPECT_EQ(Utf8ToCp932(text), text);
}

TEST(EncodingTest, CharactersCodePage932LacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932("x\xF0\x9F\x98\x80y"), "x?y");    // emoji: one "?" for the pair
  EXPECT_EQ(Utf8ToCp932("한"), "?");
  EXPECT_EQ(Utf16ToCp932(std::u16string(1, char16_t(0xD800))), "?");  // lone surrogate
}

TEST(EncodingTest, BrokenInputIsReplacedAndTheRestKept) {
  // Lead byte cut off by the end of the text.
  EXPECT_EQ(Cp932ToUtf16("ab\x93"), u"ab\uFFFD");
  // Lead byte followed by a byte that cannot trail: one replacement, and the
  // following ASCII character survives.
  EXPECT_EQ(Cp932ToUtf16("\x93<x"), u"\uFFFD<x");
  // Broken UTF-8 inside the text and at its end.
  EXPECT_EQ(Utf8ToUtf16("a\xE6\x97z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("a\xE6"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(EncodingTest, LongTextsConvertWhole) {
  std::string sjis;
  for (int i = 0; i < 10000; ++i) sjis += kSjis;
  const std::string utf8 = Cp932ToUtf8(sjis);
  EXPECT_EQ(utf8.size(), kUtf8.size() * 10000);
  EXPECT_EQ(Utf8ToCp932(utf8), sjis);
}

}  // namespace
}  // namespace velt
