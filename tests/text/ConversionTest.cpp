#include <gtest/gtest.h>

#include "text/jconvert.h"

namespace velt {
namespace {

const std::string kJisIn = "\x1B$B";
const std::string kJisOut = "\x1B(J";

TEST(PairArithmeticTest, EveryJisPairSurvivesTheRoundTrip) {
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      const BytePair jis{static_cast<unsigned char>(row), static_cast<unsigned char>(cell)};
      const BytePair sjis = JisPairToShiftJis(jis.first, jis.second);
      ASSERT_EQ(ShiftJisPairToJis(sjis.first, sjis.second), jis) << row << "," << cell;
    }
  }
  EXPECT_EQ(JisPairToShiftJis(0x30, 0x21), (BytePair{0x88, 0x9F}));  // 亜
  EXPECT_EQ(JisPairToShiftJis(0x7E, 0x7E), (BytePair{0xEF, 0xFC}));
}

TEST(EucToShiftJisTest, KanaAsciiAndTheEndOfTheText) {
  EXPECT_EQ(EucToShiftJis("\x8E\xB1"), "\xB1");
  EXPECT_EQ(EucToShiftJis("a\r\nb\x80\xFF"), "a\r\nb\x80\xFF");
  EXPECT_EQ(EucToShiftJis(std::string("a\0\xB0\xA1", 4)), std::string("a\0\x88\x9F", 4));
  // A lead cut off by the end pairs with a zero byte; so does a lone 0x8E.
  EXPECT_EQ(EucToShiftJis("a\xB0"), "a\x88\x7E");
  EXPECT_EQ(EucToShiftJis("a\x8E"), std::string("a\0", 2));
  // The JIS X 0212 prefix is an ordinary lead; its third byte starts anew.
  EXPECT_EQ(EucToShiftJis("\x8F\xB0\xA1x"), "\x78\x4F\x81\x98");
}

TEST(JisReadingTest, EscapeSequencesSelectTheMode) {
  EXPECT_EQ(JisToShiftJis("a\x1B$B\x30\x21\x1B(Bb"), "a\x88\x9F" "b");
  EXPECT_EQ(JisToShiftJis("\x1B$@\x30\x21\x1B(J"), "\x88\x9F");
  EXPECT_EQ(JisToShiftJis("\x1B(B\x1B$B\x30\x21\x30\x22"), "\x88\x9F\x88\xA0");  // two in a row
  EXPECT_EQ(JisToShiftJis("ab\x1B$B"), "ab");
  EXPECT_EQ(JisToShiftJis("ab\x1B$"), "ab");  // cut inside the sequence
  EXPECT_EQ(JisToShiftJis("a\x1B)Cb"), "ab");  // unknown set: mode kept
  // Half-width katakana set.
  EXPECT_EQ(JisToShiftJis("\x1B(I\x31\x5F\x1B(Bx"), "\xB1\xDF" "x");
  EXPECT_EQ(JisToEuc("\x1B(I\x31\x1B(Bx"), "\x8E\xB1" "x");

  EXPECT_EQ(JisToEuc("a\x1B$B\x30\x21\x1B(Bb"), "a\xB0\xA1" "b");
  EXPECT_EQ(JisToEuc("\x1B$B\x30\x21\r\n\x1B(B"), "\xB0\xA1\r\n");
}

TEST(JisReadingTest, TwoByteModeTakesPairsWhateverTheBytes) {
  // A line end inside two-byte mode is half of a pair.
  EXPECT_EQ(JisToShiftJis("\x1B$B\r\n"), "\x77\x29");
  EXPECT_EQ(JisToShiftJis("\x1B$B\x30"), "\x88\x7E");  // paired with a zero byte
}

TEST(JisReadingTest, ShiftJisOutputEndsAtTheFirstZeroByte) {
  EXPECT_EQ(JisToShiftJis(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(JisToEuc(std::string("ab\0cd", 5)), std::string("ab\0cd", 5));
}

TEST(JisWritingTest, KatakanaJoinTheirSoundMarks) {
  EXPECT_EQ(EucToJis("\x8E\xB6\x8E\xDE"), kJisIn + "\x25\x2C" + kJisOut);                  // ｶﾞ -> ガ
  EXPECT_EQ(EucToJis("\x8E\xDC\x8E\xDE"), kJisIn + "\x25\x6F\x21\x2B" + kJisOut);          // ﾜﾞ -> ワ゛
  EXPECT_EQ(EucToJis("\x8E\xCA\x8E\xDF"), kJisIn + "\x25\x51" + kJisOut);                  // ﾊﾟ -> パ
  EXPECT_EQ(ShiftJisToJis("\xB3\xDE\xB6"), kJisIn + "\x25\x74\x25\x2B" + kJisOut);         // ｳﾞｶ -> ヴカ
  EXPECT_EQ(ShiftJisToJis("\xB6\xDE\xDE"), kJisIn + "\x25\x2C\x21\x2B" + kJisOut);         // one mark joins
  // A mark prefix without its byte at the end of the text is not a mark.
  EXPECT_EQ(EucToJis("\x8E\xB6\x8E"), kJisIn + "\x25\x2B\x25\x7E" + kJisOut);
}

TEST(JisWritingTest, LinesEndInSingleByteMode) {
  EXPECT_EQ(EucToJis("\xB0\xA1\r\n\xB0\xA2"),
            kJisIn + "\x30\x21" + kJisOut + "\r\n" + kJisIn + "\x30\x22" + kJisOut);
  EXPECT_EQ(ShiftJisToJis("a\x88\x9F" "b"), "a" + kJisIn + "\x30\x21" + kJisOut + "b");
  EXPECT_EQ(EucToJis("plain"), "plain");
  EXPECT_EQ(EucToJis(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(KanaToJisTest, PositionMovesPastWhatWasUsed) {
  const std::string euc = "x\x8E\xB6\x8E\xDE\x8E\xB1\x8E\x41";
  std::size_t position = 1;
  EXPECT_EQ(EucKanaToJis(euc, position), (BytePair{0x25, 0x2C}));
  EXPECT_EQ(position, 5u);
  EXPECT_EQ(EucKanaToJis(euc, position), (BytePair{0x25, 0x22}));
  EXPECT_EQ(position, 7u);
  EXPECT_EQ(EucKanaToJis(euc, position), (BytePair{0x25, 0x41}));  // 0x41 is ﾁ (0xC1) once masked
  EXPECT_EQ(position, 9u);

  const std::string sjis = "\xCA\xDF\xA4\xDE";
  position = 0;
  EXPECT_EQ(ShiftJisKanaToJis(sjis, position), (BytePair{0x25, 0x51}));
  EXPECT_EQ(position, 2u);
  EXPECT_EQ(ShiftJisKanaToJis(sjis, position), (BytePair{0x21, 0x22}));  // punctuation keeps no mark
  EXPECT_EQ(position, 3u);

  const std::string notKana = "\x8E\x10";
  position = 0;
  EXPECT_EQ(EucKanaToJis(notKana, position), (BytePair{0x25, 0x7E}));
  EXPECT_EQ(position, 2u);
}

TEST(ShiftJisToEucTest, KanaAndPairs) {
  EXPECT_EQ(ShiftJisToEuc("\xB1"), "\x8E\xB1");
  EXPECT_EQ(ShiftJisToEuc("a\x88\x9F\r\n"), "a\xB0\xA1\r\n");
  EXPECT_EQ(ShiftJisToEuc("\x88"), "\xAF\xE1");  // lone lead: paired with zero
}

TEST(ToShiftJisTest, ConvertsOnlyWhatItDetects) {
  const std::string undecided = "\xA4\xA2\xA4\xA4";
  const std::string binary = std::string("\xB0\xA1\0x", 4);
  const std::string sjis = "\x88\x9F\x88\xA0";
  EXPECT_EQ(ToShiftJis(undecided, CodeShiftJis), undecided);
  EXPECT_EQ(ToShiftJis(binary, CodeShiftJis), binary);
  EXPECT_EQ(ToShiftJis(sjis, CodeShiftJis), sjis);
  EXPECT_EQ(ToShiftJis("plain", CodeShiftJis), "plain");
  EXPECT_EQ(ToShiftJis("\x1B$B\x30\x21\x1B(B", CodeShiftJis), "\x88\x9F");
  EXPECT_EQ(ToShiftJis("\x1B$@\x30\x21\x1B(B", CodeShiftJis), "\x88\x9F");
  EXPECT_EQ(ToShiftJis("\xC6\xFC\xCB\xDC", CodeShiftJis), "\x93\xFA\x96\x7B");  // 日本

  EXPECT_EQ(ToShiftJis("\x1B$@\x30\x21\x1B(B", CodeNewJis), "\x1B$@\x30\x21\x1B(B");  // old JIS kept
  EXPECT_EQ(ToShiftJis("\x1B$B\x30\x21\x1B(B", CodeEuc), "\xB0\xA1");
  EXPECT_EQ(ToShiftJis(sjis, CodeEuc), "\xB0\xA1\xB0\xA2");
  EXPECT_EQ(ToShiftJis(sjis, CodeNewJis), kJisIn + "\x30\x21\x30\x22" + kJisOut);
  EXPECT_EQ(ToShiftJis(sjis, CodeAscii), sjis);
  EXPECT_EQ(ToShiftJis(sjis, 42), sjis);
}

}  // namespace
}  // namespace velt
