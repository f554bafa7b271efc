#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using jconvert_detail::ByteAt;
using jconvert_detail::InRange;

constexpr unsigned char kPunctuationRow = 0x21;
constexpr unsigned char kKatakanaRow = 0x25;
constexpr unsigned char kNoCharacterCell = 0x7E;
constexpr unsigned char kVoicedMark = 0x5E;      // ﾞ without its high bit
constexpr unsigned char kSemiVoicedMark = 0x5F;  // ﾟ without its high bit

bool IsPunctuation(unsigned char k) { return InRange(k, 0x21, 0x25) || k == 0x30 || k == 0x5E || k == 0x5F; }

// Cell of the katakana k joined with the sound mark that follows it, or
// the plain cell when JIS X 0208 has no joined form.
unsigned char JoinedCell(unsigned char k, unsigned char cell, unsigned char mark) {
  if (mark == kVoicedMark) {
    if (k == 0x33) return 0x74;  // ｳﾞ -> ヴ
    if (InRange(k, 0x36, 0x44) || InRange(k, 0x4A, 0x4E)) return cell + 1;
  } else if (mark == kSemiVoicedMark && InRange(k, 0x4A, 0x4E)) {
    return cell + 2;
  }
  return cell;
}

// `kana` is the position of the katakana byte, `markLength` the size of a
// sound mark in this encoding (2 in EUC-JP with its 0x8E, 1 in Shift_JIS).
BytePair KanaAt(std::string_view text, std::size_t kana, std::size_t markLength, std::size_t& position) {
  const unsigned char k = ByteAt(text, kana) & 0x7F;
  position = kana + 1;
  if (!InRange(k, 0x21, 0x5F)) return {kKatakanaRow, kNoCharacterCell};
  const unsigned char cell = KanaTable[k - 0x21];
  if (IsPunctuation(k)) return {kPunctuationRow, cell};

  const std::size_t markByte = position + markLength - 1;
  const bool markPrefixed = markLength == 1 || ByteAt(text, position) == 0x8E;
  const unsigned char mark = ByteAt(text, markByte);
  if (position < text.size() && markPrefixed && (mark == 0xDE || mark == 0xDF)) {
    const unsigned char joined = JoinedCell(k, cell, mark & 0x7F);
    if (joined != cell) {
      position = markByte + 1;
      return {kKatakanaRow, joined};
    }
  }
  return {kKatakanaRow, cell};
}

}  // namespace

BytePair EucKanaToJis(std::string_view euc, std::size_t& position) { return KanaAt(euc, position + 1, 2, position); }

BytePair ShiftJisKanaToJis(std::string_view sjis, std::size_t& position) { return KanaAt(sjis, position, 1, position); }

}  // namespace velt
