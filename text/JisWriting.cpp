#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using jconvert_detail::AppendByte;
using jconvert_detail::AppendPair;
using jconvert_detail::ByteAt;

// Writes JIS from a byte-oriented source. `convertHigh(text, position,
// out)` is called for every byte of 0x80 and above, appends the JIS pair
// and returns the position after what it used. Every line, and the whole
// text, ends back in single-byte mode so each line can be read by itself.
template <typename ConvertHigh>
std::string WriteJis(std::string_view text, ConvertHigh convertHigh) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  bool twoByte = false;
  const auto switchTo = [&](bool wantTwoByte) {
    if (twoByte == wantTwoByte) return;
    out.append(wantTwoByte ? "\x1B$B" : "\x1B(J");
    twoByte = wantTwoByte;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = ByteAt(text, i);
    if (b >= 0x80) {
      switchTo(true);
      i = convertHigh(text, i, out);
    } else {
      switchTo(false);
      AppendByte(out, b);
      ++i;
    }
  }
  switchTo(false);
  return out;
}

}  // namespace

std::string EucToJis(std::string_view euc) {
  return WriteJis(euc, [](std::string_view text, std::size_t i, std::string& out) {
    const unsigned char b = ByteAt(text, i);
    if (b == 0x8E) {
      AppendPair(out, EucKanaToJis(text, i));
      return i;
    }
    AppendByte(out, b & 0x7F);
    AppendByte(out, ByteAt(text, i + 1) & 0x7F);
    return i + 2;
  });
}

std::string ShiftJisToJis(std::string_view sjis) {
  return WriteJis(sjis, [](std::string_view text, std::size_t i, std::string& out) {
    const unsigned char b = ByteAt(text, i);
    if (b >= 0xA1 && b <= 0xDF) {
      AppendPair(out, ShiftJisKanaToJis(text, i));
      return i;
    }
    AppendPair(out, ShiftJisPairToJis(b, ByteAt(text, i + 1)));
    return i + 2;
  });
}

}  // namespace velt
