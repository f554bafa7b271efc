#include <gtest/gtest.h>

#include "tests/text/IconvCodec.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using testing::Iconv;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(DetectionTest, TextsWithoutJapaneseBytes) {
  EXPECT_EQ(DetectJapaneseCode(""), CodeAscii);
  EXPECT_EQ(DetectJapaneseCode("\x88"), CodeAscii);  // one byte is never judged
  EXPECT_EQ(DetectJapaneseCode("<html><body>Plain text\r\n\ttab</body></html>"), CodeAscii);
  EXPECT_EQ(DetectJapaneseCode("a\x1B(Bb"), CodeAscii);
  EXPECT_EQ(DetectJapaneseCode("abc\xF0"), CodeAscii);  // the last byte decides nothing
  EXPECT_EQ(DetectJapaneseCode("a\x80\xA0 b"), CodeAscii);
}

TEST(DetectionTest, BinaryBytesInsideAndBeyondTheFirstPass) {
  EXPECT_EQ(DetectJapaneseCode(std::string("ab\0cd", 5)), CodeBinary);
  EXPECT_EQ(DetectJapaneseCode("ab\xFF" "cd"), CodeBinary);
  // Even after a Shift_JIS byte: the first pass comes before any judgement.
  EXPECT_EQ(DetectJapaneseCode("\x88\x9F\x07x"), CodeBinary);

  std::string text(700, 'a');
  text[600] = '\x01';  // beyond the first pass; the second pass meets it
  EXPECT_EQ(DetectJapaneseCode(text), CodeBinary);
  text[599] = '\x88';  // ... unless a verdict comes first
  EXPECT_EQ(DetectJapaneseCode(text), CodeShiftJis);

  std::string lastByte(600, 'a');
  lastByte.back() = '\x01';
  EXPECT_EQ(DetectJapaneseCode(lastByte), CodeAscii);
  // The first pass sees the first 512 bytes; past them a verdict comes first.
  std::string sjisThenBinary(700, 'a');
  sjisThenBinary[100] = '\x88';
  sjisThenBinary[512] = '\xFF';
  EXPECT_EQ(DetectJapaneseCode(sjisThenBinary), CodeShiftJis);
  std::swap(sjisThenBinary[511], sjisThenBinary[512]);
  EXPECT_EQ(DetectJapaneseCode(sjisThenBinary), CodeBinary);
}

TEST(DetectionTest, FirstDecisiveByteWins) {
  EXPECT_EQ(DetectJapaneseCode("x\x1B$B\x30\x21\x1B(B"), CodeNewJis);
  EXPECT_EQ(DetectJapaneseCode("x\x1B$@\x30\x21\x1B(B"), CodeOldJis);
  EXPECT_EQ(DetectJapaneseCode("\x88\x9F\x1B$B"), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode("\x1B$B\x88\x9F"), CodeNewJis);
  EXPECT_EQ(DetectJapaneseCode("a\x81\x40"), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode("a\x9F\xFC"), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode("a\xF0\xA1"), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode("a\xFE\xFE"), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode("\xB0\xFC"), CodeEuc);   // kana-range lead, EUC-only trail
  EXPECT_EQ(DetectJapaneseCode("\xB1\x40"), CodeShiftJis);  // half-width kana then ASCII '@'
  EXPECT_EQ(DetectJapaneseCode("\x8E\x40"), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode("\xE0\x40"), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode("\xE0\xFD"), CodeEuc);
}

TEST(DetectionTest, UndecidedUntilALaterByteTells) {
  const std::string undecided = "\xA4\xA2\xA4\xA4\x8E\xB1\xE0\xA1";  // valid in both
  EXPECT_EQ(DetectJapaneseCode(undecided), CodeEucOrShiftJis);
  EXPECT_EQ(DetectJapaneseCode(undecided + "\xC6\xFC "), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode(undecided + "\x93\xFA "), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode(undecided + "\x1B$B "), CodeNewJis);
}

// A kana-range byte before a lead of 0xE0..0xEF: the run of bytes up to the
// next one below 0x40 is scanned as a whole.
TEST(DetectionTest, AmbiguousRunIsScannedToItsEnd) {
  EXPECT_EQ(DetectJapaneseCode(Bytes({0xB1, 0xE0, 0xA1, 0x41, 0x9A, 0x20})), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode(Bytes({0xB1, 0xE0, 0xA1, 0xFD, 0x20})), CodeEuc);
  EXPECT_EQ(DetectJapaneseCode(Bytes({0xB1, 0xE0, 0xA1, 0x20, 0x41})), CodeEucOrShiftJis);
  // The byte that ends the run is consumed with it, even an ESC.
  EXPECT_EQ(DetectJapaneseCode(Bytes({0xB1, 0xE0, 0x1B, '$', 'B', 0x20})), CodeEucOrShiftJis);
  // The run reaching the end of the text is fine.
  EXPECT_EQ(DetectJapaneseCode(Bytes({0xB1, 0xE0, 0xA1})), CodeEucOrShiftJis);
}

// A page as the crawler receives it, in each of the encodings a server may
// use, judged as a whole.
TEST(DetectionTest, RealPagesInEachEncoding) {
  const std::string page =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html\">\r\n"
      "<title>Windows 起動時にエラー メッセージが表示される</title></head>\r\n"
      "<body><p>この資料では、ｺﾝﾋﾟｭｰﾀｰ の再起動後に発生する問題について説明します。</p>\r\n"
      "<p>対象製品: すべてのバージョン</p></body></html>\r\n";
  EXPECT_EQ(DetectJapaneseCode(Iconv("SHIFT_JIS", "UTF-8", page).value()), CodeShiftJis);
  EXPECT_EQ(DetectJapaneseCode(Iconv("EUC-JP", "UTF-8", page).value()), CodeEuc);
  const std::string withoutKana =
      "<p>この資料では、再起動後に発生する問題について説明します。</p>\r\n";
  EXPECT_EQ(DetectJapaneseCode(Iconv("ISO-2022-JP", "UTF-8", withoutKana).value()), CodeNewJis);
  // Hiragana alone are pairs that both encodings allow.
  EXPECT_EQ(DetectJapaneseCode(Iconv("EUC-JP", "UTF-8", "<p>これはさくらです</p>").value()), CodeEucOrShiftJis);
}

}  // namespace
}  // namespace velt
