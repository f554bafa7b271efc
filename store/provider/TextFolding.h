// The database's text comparison, defined once: every comparison of text
// (collation, LIKE, the search index) folds both sides with these
// functions and compares the folded characters by code point.
//
// Folding ignores three differences at once, as a Japanese reader expects:
// - letter case: ASCII, Latin-1, Greek and Cyrillic letters;
// - width: full-width ASCII (U+FF01..U+FF5E) and the ideographic space
//   equal their ASCII forms; half-width katakana and the half-width
//   「」、。・ and long-vowel mark equal their full-width forms; a
//   half-width kana followed by a half-width voiced or semi-voiced sound
//   mark is one character, the voiced full-width kana ("ｶﾞ" = "ガ"), and
//   so is any kana followed by a combining one (U+3099, U+309A: "ガ" as
//   some systems decompose it);
// - kana type: hiragana equal katakana ("み" = "ミ", "ゔ" = "ヴ");
// - code page 932's shared codes: a character equals the one that its
//   code brings back from stored text ("〜" = "～" = "~", "−" = "－",
//   "—" = "―", "‖" = "∥", "¢£¬" = "￠￡￢", "¥" = "\", "‾" = "~").
// Voicing ("カ" vs "ガ"), small against large kana and everything else
// stay distinct. The folded form is lower-case, half-width ASCII and
// full-width katakana.
//
// Texts are UTF-8; a byte that does not start a valid sequence is taken as
// a character of its own above every Unicode code point, so broken input
// orders deterministically. All functions are pure and thread-safe.
#pragma once

#include <cstddef>
#include <string_view>

namespace velt::provider {

// Code points from here up stand for bytes that are not valid UTF-8.
inline constexpr char32_t BrokenByteBase = 0x110000;

char32_t DecodeNonAsciiUtf8At(std::string_view text, std::size_t& pos);

// Decodes the character at `pos` and advances `pos` past it.
inline char32_t DecodeUtf8At(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  return DecodeNonAsciiUtf8At(text, pos);
}

// The folded form of one character on its own (no sound mark composed).
char32_t FoldCharacter(char32_t c);

// Whether a character whose UTF-8 begins with this byte (0x80 or above) may
// fold to an ASCII character: full-width forms, the ideographic space and
// the wave dash begin with EF or E3, the minus sign and overline with E2,
// the yen sign with C2. Scans for an ASCII character skip all other bytes.
inline bool MayFoldToAscii(unsigned char lead) {
  return lead == 0xEF || lead == 0xE3 || lead == 0xE2 || lead == 0xC2;
}

char32_t DecodeFoldedNonAsciiAt(std::string_view text, std::size_t& pos);

// The folded character at `pos`, where a half-width kana and the sound
// mark after it count as one; advances `pos` past what it took. ASCII is
// handled inline: scans over mostly ASCII text spend their time here.
inline char32_t DecodeFoldedAt(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return (lead >= 'A' && lead <= 'Z') ? lead + 32 : lead;
  }
  return DecodeFoldedNonAsciiAt(text, pos);
}

// <0, 0, >0 like strcmp, over folded characters.
int CompareFolded(std::string_view a, std::string_view b);

}  // namespace velt::provider
