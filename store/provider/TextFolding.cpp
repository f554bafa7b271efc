#include "store/provider/TextFolding.h"

namespace velt::provider {

namespace {

constexpr char32_t kHalfWidthSemiVoicedMark = 0xFF9F;
constexpr char32_t kCombiningSemiVoicedMark = 0x309A;

// Full-width forms of U+FF61..U+FF9F, in order.
constexpr char16_t kHalfWidthKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool IsHalfWidthKana(char32_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The sound mark whose UTF-8 starts at `pos`, or 0: combining U+3099 and
// U+309A (E3 82 99, E3 82 9A), half-width U+FF9E and U+FF9F (EF BE 9E,
// EF BE 9F). Told from the bytes, as it runs after every non-ASCII
// character.
char32_t SoundMarkAt(std::string_view text, std::size_t pos) {
  if (pos + 3 > text.size()) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  if (b(0) == 0xE3 && b(1) == 0x82 && (b(2) == 0x99 || b(2) == 0x9A)) return 0x3000 + b(2);
  if (b(0) == 0xEF && b(1) == 0xBE && (b(2) == 0x9E || b(2) == 0x9F)) return 0xFF00 + b(2);
  return 0;
}

// The full-width katakana `kana` with the sound mark applied; 0 when that
// kana takes no such mark.
char32_t WithSoundMark(char32_t kana, char32_t mark) {
  const bool hRow = kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
  if (mark == kHalfWidthSemiVoicedMark || mark == kCombiningSemiVoicedMark) return hRow ? kana + 2 : 0;
  if (hRow) return kana + 1;
  if (kana >= 0x30AB && kana <= 0x30C1 && kana % 2 == 1) return kana + 1;  // カ..チ
  if (kana == 0x30C4 || kana == 0x30C6 || kana == 0x30C8) return kana + 1;  // ツテト
  if (kana == 0x30A6) return 0x30F4;                                         // ウ
  if (kana == 0x30EF) return 0x30F7;                                         // ワ
  if (kana == 0x30F2) return 0x30FA;                                         // ヲ
  return 0;
}

// The form in which code page 932 text comes back for a character that
// shares its code with another: the stored text holds the one form, while
// input methods type the other.
char32_t Cp932StoredForm(char32_t c) {
  switch (c) {
    case 0x301C: return 0xFF5E;  // wave dash: full-width tilde
    case 0x2016: return 0x2225;  // double vertical line: parallel to
    case 0x2212: return 0xFF0D;  // minus sign: full-width hyphen-minus
    case 0x2014: return 0x2015;  // em dash: horizontal bar
    case 0x00A2: return 0xFFE0;  // cent sign: full-width cent sign
    case 0x00A3: return 0xFFE1;  // pound sign: full-width pound sign
    case 0x00AC: return 0xFFE2;  // not sign: full-width not sign
    case 0x00A5: return U'\\';  // yen sign: the code of the backslash
    case 0x203E: return U'~';   // overline: the code of the tilde
    default: return c;
  }
}

}  // namespace

char32_t FoldCharacter(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if (const char32_t stored = Cp932StoredForm(c); stored != c) return FoldCharacter(stored);
  if (c >= 0xFF01 && c <= 0xFF5E) return FoldCharacter(c - 0xFEE0);
  if (c == 0x3000) return U' ';
  if (IsHalfWidthKana(c)) return kHalfWidthKana[c - 0xFF61];
  if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) return c + 0x60;  // hiragana
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

char32_t DecodeNonAsciiUtf8At(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return BrokenByteBase + lead;
  }
  for (int i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(b)) {
      ++pos;
      return BrokenByteBase + lead;
    }
    value = (value << 6) | (b & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return BrokenByteBase + lead;
  }
  pos += length;
  return value;
}

char32_t DecodeFoldedNonAsciiAt(std::string_view text, std::size_t& pos) {
  const char32_t c = DecodeNonAsciiUtf8At(text, pos);
  const char32_t folded = FoldCharacter(c);
  // A half-width mark joins only a half-width kana; a combining one, any.
  const char32_t mark = SoundMarkAt(text, pos);
  if (mark == 0 || (IsHalfWidthKana(mark) && !IsHalfWidthKana(c))) return folded;
  const char32_t marked = WithSoundMark(folded, mark);
  if (marked == 0) return folded;
  pos += 3;
  return marked;
}

int CompareFolded(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = DecodeFoldedAt(a, i);
    const char32_t y = DecodeFoldedAt(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace velt::provider
