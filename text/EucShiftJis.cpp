#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {

using jconvert_detail::BoundedOutput;
using jconvert_detail::ByteAt;
using jconvert_detail::InRange;

std::string EucToShiftJis(std::string_view euc) {
  BoundedOutput out(euc.size() + 1);  // only a lead cut off by the end grows
  std::size_t i = 0;
  while (i < euc.size()) {
    const unsigned char b = ByteAt(euc, i);
    if (!InRange(b, 0x81, 0xFE)) {
      out.Put(b);
      ++i;
      continue;
    }
    // 0x8F (JIS X 0212) is not known: it pairs with the next byte like any
    // lead, and its third byte starts the next character.
    const unsigned char next = ByteAt(euc, i + 1);
    if (b == 0x8E) {
      out.Put(next);
    } else {
      out.Put(JisPairToShiftJis(b & 0x7F, next & 0x7F));
    }
    i += 2;
  }
  return std::move(out).Take();
}

std::string ShiftJisToEuc(std::string_view sjis) {
  BoundedOutput out(2 * sjis.size());  // a katakana doubles
  std::size_t i = 0;
  while (i < sjis.size()) {
    const unsigned char b = ByteAt(sjis, i);
    if (b < 0x80) {
      out.Put(b);
      ++i;
    } else if (InRange(b, 0xA1, 0xDF)) {
      out.Put(static_cast<unsigned char>(0x8E));
      out.Put(b);
      ++i;
    } else {
      const BytePair jis = ShiftJisPairToJis(b, ByteAt(sjis, i + 1));
      out.Put(BytePair{static_cast<unsigned char>(jis.first | 0x80), static_cast<unsigned char>(jis.second | 0x80)});
      i += 2;
    }
  }
  return std::move(out).Take();
}

}  // namespace velt
