// Letter-case folding and the case-blind text order of the database.
//
// Text comparison in the database ignores letter case: ASCII, Latin-1,
// Greek, Cyrillic and the full-width Latin letters (U+FF21..U+FF3A fold to
// U+FF41..U+FF5A). Width is not folded: "Ａ" equals "ａ" but not "A".
// Texts are UTF-8; a byte that does not start a valid sequence is taken as
// a character of its own above every Unicode code point, so broken input
// orders deterministically. All functions are pure and thread-safe.
#pragma once

#include <string_view>
#include <vector>

namespace velt::provider {

char32_t FoldNonAsciiLetterCase(char32_t c);
char32_t DecodeNonAsciiUtf8At(std::string_view text, std::size_t& pos);

// ASCII is handled inline: scans over mostly ASCII text spend their time
// here.
inline char32_t FoldLetterCase(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  return FoldNonAsciiLetterCase(c);
}

// Decodes the character at `pos` and advances `pos` past it.
inline char32_t DecodeUtf8At(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  return DecodeNonAsciiUtf8At(text, pos);
}

// Appends the folded characters of `text` to `out`.
void AppendFolded(std::string_view text, std::vector<char32_t>& out);

// <0, 0, >0 like strcmp, over folded characters.
int CompareFolded(std::string_view a, std::string_view b);

}  // namespace velt::provider
