// Detection of, and conversion between, the three byte encodings Japanese
// web pages come in: JIS (ISO-2022-JP), EUC-JP and Shift_JIS.
//
// Every function works on raw bytes with fixed arithmetic and the one
// small KanaTable; none knows Unicode. Texts are byte strings that may hold
// zero bytes. Nothing is ever rejected: each byte value has a fixed rule,
// so every input gives some output, and no function raises or reports an
// error. Where a rule looks at the byte after the last one it reads a zero
// byte there, and never further. Consequences worth knowing:
// - A two-byte lead at the very end of a text is paired with a zero byte.
// - JisToShiftJis drops everything from the first zero byte of its result.
// - JIS input: ESC $ <any> selects two-byte mode, ESC ( I half-width
//   katakana, ESC ( <other> single-byte mode; JIS output writes only
//   ESC $ B and ESC ( J.
// - A half-width katakana always becomes its full-width JIS X 0208 form in
//   JIS output, with a following sound mark joined to it where JIS X 0208
//   has the voiced or semi-voiced form.
//
// All functions are pure (no state, no locale), one pass over their input
// (the detector at most two), and safe to call from any number of threads
// at once.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace velt {

// The detector's verdicts, also the targets of ToShiftJis.
inline constexpr int CodeAscii = 0;          // no sign of a Japanese encoding
inline constexpr int CodeBinary = 1;         // a byte below 0x08, or 0xFF
inline constexpr int CodeNewJis = 2;         // JIS announced by ESC $ B
inline constexpr int CodeOldJis = 3;         // JIS announced by ESC $ @
inline constexpr int CodeEuc = 4;            // EUC-JP
inline constexpr int CodeShiftJis = 5;       // Shift_JIS
inline constexpr int CodeEucOrShiftJis = 6;  // every pair seen fits both

// How many leading bytes the detector searches for binary bytes before it
// starts judging the text.
inline constexpr std::size_t BinaryCheckLimit = 512;

// JIS X 0208 cell of the full-width form of each half-width katakana
// (JIS X 0201 0xA1..0xDF), indexed by the katakana byte minus 0xA1. The
// punctuation ｡｢｣､･ｰﾞﾟ lives in row 0x21 (the sound marks as the spacing
// marks ゛ and ゜), everything else in row 0x25.
inline constexpr std::array<unsigned char, 63> KanaTable = {
    0x23, 0x56, 0x57, 0x22, 0x26, 0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65,  // ｡..ｭ
    0x67, 0x43, 0x3C, 0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33,  // ｮ..ｺ
    0x35, 0x37, 0x39, 0x3B, 0x3D, 0x3F, 0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C,  // ｻ..ﾇ
    0x4D, 0x4E, 0x4F, 0x52, 0x55, 0x58, 0x5B, 0x5E, 0x5F, 0x60, 0x61, 0x62, 0x64,  // ﾈ..ﾔ
    0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F, 0x73, 0x2B, 0x2C,              // ﾕ..ﾟ
};

// Two output bytes: a JIS row and cell, or a Shift_JIS lead and trail.
struct BytePair {
  unsigned char first;
  unsigned char second;
  friend bool operator==(const BytePair&, const BytePair&) = default;
};

// One of CodeAscii..CodeEucOrShiftJis. Texts shorter than two bytes are
// CodeAscii; the last byte of a text never decides the verdict.
int DetectJapaneseCode(std::string_view text);

// Converts a text from its detected encoding into `target` (CodeNewJis,
// CodeEuc or CodeShiftJis; the crawler always asks for CodeShiftJis).
// Texts detected as ASCII, binary, undecided or already in the target come
// back unchanged, as do old-JIS texts for CodeNewJis and every text for
// another target.
std::string ToShiftJis(std::string_view text, int target);

std::string EucToShiftJis(std::string_view euc);
std::string JisToShiftJis(std::string_view jis);
std::string JisToEuc(std::string_view jis);
std::string EucToJis(std::string_view euc);
std::string ShiftJisToJis(std::string_view sjis);
std::string ShiftJisToEuc(std::string_view sjis);

// The standard pair arithmetic, byte-wise modulo 256; bytes outside the
// JIS range give bytes that name no character.
BytePair JisPairToShiftJis(unsigned char row, unsigned char cell);
BytePair ShiftJisPairToJis(unsigned char lead, unsigned char trail);

// Full-width JIS pair of the half-width katakana whose 0x8E prefix (EUC) or
// own byte (Shift_JIS) stands at `position`, joining a following sound mark
// where JIS X 0208 has the joined form. `position` moves to the first byte
// not used. A byte after 0x8E that is no katakana gives the pair 0x25 0x7E,
// a code that names no character.
BytePair EucKanaToJis(std::string_view euc, std::size_t& position);
BytePair ShiftJisKanaToJis(std::string_view sjis, std::size_t& position);

}  // namespace velt
