#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {

using jconvert_detail::AppendByte;
using jconvert_detail::AppendPair;
using jconvert_detail::ByteAt;
using jconvert_detail::InRange;

std::string EucToShiftJis(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  std::size_t i = 0;
  while (i < euc.size()) {
    const unsigned char b = ByteAt(euc, i);
    if (!InRange(b, 0x81, 0xFE)) {
      AppendByte(out, b);
      ++i;
      continue;
    }
    // 0x8F (JIS X 0212) is not known: it pairs with the next byte like any
    // lead, and its third byte starts the next character.
    const unsigned char next = ByteAt(euc, i + 1);
    if (b == 0x8E) {
      AppendByte(out, next);
    } else {
      AppendPair(out, JisPairToShiftJis(b & 0x7F, next & 0x7F));
    }
    i += 2;
  }
  return out;
}

std::string ShiftJisToEuc(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 4);
  std::size_t i = 0;
  while (i < sjis.size()) {
    const unsigned char b = ByteAt(sjis, i);
    if (b < 0x80) {
      AppendByte(out, b);
      ++i;
    } else if (InRange(b, 0xA1, 0xDF)) {
      AppendByte(out, 0x8E);
      AppendByte(out, b);
      ++i;
    } else {
      const BytePair jis = ShiftJisPairToJis(b, ByteAt(sjis, i + 1));
      AppendPair(out, {static_cast<unsigned char>(jis.first | 0x80), static_cast<unsigned char>(jis.second | 0x80)});
      i += 2;
    }
  }
  return out;
}

}  // namespace velt
