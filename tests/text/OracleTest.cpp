// Checks every conversion against glibc's iconv for each character of
// JIS X 0208 and each half-width katakana. Of the 84 x 94 codes of rows
// 0x21..0x74, the 1017 that JIS X 0208 leaves empty are skipped; iconv
// writes each of the other 6879 in all three encodings, so none is lost.
#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <sstream>
#include <vector>

#include "tests/text/IconvCodec.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using testing::Iconv;

// One character in each encoding. `decoded` is what JIS output must read
// back as: the character itself, or the full-width form of a katakana.
struct Character {
  std::string decoded;
  std::string euc;
  std::string sjis;
  std::string jis;
};

std::string Utf8Of(char32_t codePoint) { return QString::fromUcs4(&codePoint, 1).toStdString(); }

std::string FullWidthForm(const std::string& utf8) {
  // Alone, the sound marks are the spacing marks ゛ and ゜; NFKC would
  // give combining marks that JIS X 0208 lacks.
  if (utf8 == "ﾞ") return "゛";
  if (utf8 == "ﾟ") return "゜";
  return QString::fromStdString(utf8).normalized(QString::NormalizationForm_KC).toStdString();
}

std::size_t skippedCodes = 0;

const std::vector<Character>& Kanji() {
  static const std::vector<Character> characters = [] {
    std::vector<Character> all;
    for (int row = 0x21; row <= 0x74; ++row) {
      for (int cell = 0x21; cell <= 0x7E; ++cell) {
        const std::string eucCode{static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)};
        const auto utf8 = Iconv("UTF-8", "EUC-JP", eucCode);
        const auto euc = utf8 ? Iconv("EUC-JP", "UTF-8", *utf8) : std::nullopt;
        const auto sjis = utf8 ? Iconv("SHIFT_JIS", "UTF-8", *utf8) : std::nullopt;
        const auto jis = utf8 ? Iconv("ISO-2022-JP", "UTF-8", *utf8) : std::nullopt;
        if (!euc || !sjis || !jis || *euc != eucCode) {
          ++skippedCodes;
          continue;
        }
        all.push_back({*utf8, *euc, *sjis, *jis});
      }
    }
    return all;
  }();
  return characters;
}

const std::vector<Character>& HalfWidthKatakana() {
  static const std::vector<Character> characters = [] {
    std::vector<Character> all;
    for (char32_t c = U'｡'; c <= U'ﾟ'; ++c) {
      const std::string utf8 = Utf8Of(c);
      // Plain ISO-2022-JP has no katakana set; the -3 variant writes ESC ( I.
      all.push_back({FullWidthForm(utf8), Iconv("EUC-JP", "UTF-8", utf8).value(),
                     Iconv("SHIFT_JIS", "UTF-8", utf8).value(), Iconv("ISO-2022-JP-3", "UTF-8", utf8).value()});
    }
    return all;
  }();
  return characters;
}

std::string Hex(std::string_view bytes) {
  std::ostringstream out;
  for (unsigned char b : bytes) out << std::hex << (b < 16 ? "0" : "") << int(b) << ' ';
  return out.str();
}

std::string DecodeJis(const std::string& jis) { return Iconv("UTF-8", "ISO-2022-JP", jis).value_or("<undecodable>"); }

struct Operation {
  const char* name;
  std::string (*convert)(std::string_view);
  std::string Character::*input;
  std::string Character::*expected;  // nullptr: compare the decoded JIS text
};

const Operation kOperations[] = {
    {"EucToShiftJis", EucToShiftJis, &Character::euc, &Character::sjis},
    {"ShiftJisToEuc", ShiftJisToEuc, &Character::sjis, &Character::euc},
    {"JisToShiftJis", JisToShiftJis, &Character::jis, &Character::sjis},
    {"JisToEuc", JisToEuc, &Character::jis, &Character::euc},
    {"EucToJis", EucToJis, &Character::euc, nullptr},
    {"ShiftJisToJis", ShiftJisToJis, &Character::sjis, nullptr},
};

// Lists the first few disagreements of each operation; empty when all agree.
std::string Disagreements(const std::vector<Character>& characters) {
  std::ostringstream report;
  for (const Operation& op : kOperations) {
    int failures = 0;
    for (const Character& ch : characters) {
      const std::string input = ch.*op.input;
      const std::string output = op.convert(input);
      const bool agrees = op.expected ? output == ch.*op.expected : DecodeJis(output) == ch.decoded;
      if (!agrees && ++failures <= 5) {
        report << op.name << "(" << Hex(input) << ") gave " << Hex(output) << "for " << ch.decoded << "\n";
      }
    }
  }
  return report.str();
}

TEST(OracleTest, EveryJisX0208CharacterAgreesWithIconv) {
  const auto& kanji = Kanji();
  EXPECT_EQ(kanji.size(), 6879u);
  EXPECT_EQ(skippedCodes, 1017u);
  EXPECT_EQ(Disagreements(kanji), "");
}

TEST(OracleTest, EveryHalfWidthKatakanaAgreesWithIconv) {
  ASSERT_EQ(HalfWidthKatakana().size(), 63u);
  EXPECT_EQ(Disagreements(HalfWidthKatakana()), "");
}

TEST(OracleTest, KanaTableGivesTheFullWidthForms) {
  for (std::size_t i = 0; i < KanaTable.size(); ++i) {
    const Character& kana = HalfWidthKatakana()[i];
    const unsigned char row = (i <= 4 || i == 0x0F || i >= 0x3D) ? 0x21 : 0x25;
    const std::string jis = std::string("\x1B$B") + char(row) + char(KanaTable[i]) + "\x1B(B";
    EXPECT_EQ(DecodeJis(jis), kana.decoded) << "index " << i;
  }
}

// A sound mark joins the katakana before it exactly where Unicode composes
// the two into a character that JIS X 0208 has; elsewhere both stay.
TEST(OracleTest, SoundMarksJoinWhereJisX0208HasTheJoinedForm) {
  const auto& kana = HalfWidthKatakana();
  const Character& voiced = kana[U'ﾞ' - U'｡'];
  const Character& semiVoiced = kana[U'ﾟ' - U'｡'];
  std::ostringstream report;
  int joined = 0;
  for (char32_t c = U'｡'; c <= U'ﾟ'; ++c) {
    const Character& base = kana[c - U'｡'];
    for (const Character* mark : {&voiced, &semiVoiced}) {
      std::string expected = base.decoded + mark->decoded;
      const std::string composed =
          QString::fromStdString(Utf8Of(c) + (mark == &voiced ? "ﾞ" : "ﾟ")).normalized(QString::NormalizationForm_KC).toStdString();
      if (QString::fromStdString(composed).toUcs4().size() == 1 && Iconv("EUC-JP", "UTF-8", composed)) {
        expected = composed;
        ++joined;
      }
      const std::string fromEuc = DecodeJis(EucToJis(base.euc + mark->euc));
      const std::string fromSjis = DecodeJis(ShiftJisToJis(base.sjis + mark->sjis));
      if (fromEuc != expected || fromSjis != expected) {
        report << Utf8Of(c) << mark->decoded << ": " << fromEuc << " / " << fromSjis << " instead of " << expected << "\n";
      }
    }
  }
  EXPECT_EQ(report.str(), "");
  EXPECT_EQ(joined, 1 + 15 + 5 * 2);  // ヴ, ガ..ド, バ..ボ and パ..ポ
}

// The conversions keep their mode right across many characters and line
// ends, not only for one character at a time.
TEST(OracleTest, WholeTextOfAllCharactersAgreesWithIconv) {
  std::string euc;
  int count = 0;
  for (const Character& ch : Kanji()) {
    euc += ch.euc;
    if (++count % 40 == 0) euc += "line " + std::to_string(count) + "\r\n";
  }
  const std::string sjis = Iconv("SHIFT_JIS", "EUC-JP", euc).value();
  const std::string jis = Iconv("ISO-2022-JP", "EUC-JP", euc).value();
  const std::string utf8 = Iconv("UTF-8", "EUC-JP", euc).value();

  EXPECT_TRUE(EucToShiftJis(euc) == sjis);
  EXPECT_TRUE(JisToShiftJis(jis) == sjis);
  EXPECT_TRUE(JisToEuc(jis) == euc);
  EXPECT_TRUE(ShiftJisToEuc(sjis) == euc);
  EXPECT_TRUE(DecodeJis(EucToJis(euc)) == utf8);
  EXPECT_TRUE(DecodeJis(ShiftJisToJis(sjis)) == utf8);
  EXPECT_TRUE(ToShiftJis(euc, CodeShiftJis) == sjis);
  EXPECT_TRUE(ToShiftJis(jis, CodeShiftJis) == sjis);
  EXPECT_TRUE(ToShiftJis(sjis, CodeEuc) == euc);
  EXPECT_TRUE(DecodeJis(ToShiftJis(sjis, CodeNewJis)) == utf8);
}

}  // namespace
}  // namespace velt
