#include "tools/kbsite/PageEncoder.h"

#include "platform/Encoding.h"

namespace velt::kbsite {
namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsHalfWidthKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

// Row and cell of a Shift_JIS pair in JIS X 0208.
void ShiftJisToJis(unsigned char lead, unsigned char trail, unsigned char& row, unsigned char& cell) {
  const int offset = (lead >= 0xE0 ? lead - 0x40 : lead) - 0x81;
  if (trail >= 0x9F) {
    row = static_cast<unsigned char>(offset * 2 + 0x22);
    cell = static_cast<unsigned char>(trail - 0x7E);
  } else {
    row = static_cast<unsigned char>(offset * 2 + 0x21);
    cell = static_cast<unsigned char>(trail - (trail >= 0x80 ? 0x20 : 0x1F));
  }
}

std::string ShiftJisToEuc(const std::string& sjis) {
  std::string out;
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (IsHalfWidthKana(b)) {
      out += '\x8E';
      out += static_cast<char>(b);
    } else if (IsLeadByte(b) && i + 1 < sjis.size()) {
      unsigned char row, cell;
      ShiftJisToJis(b, static_cast<unsigned char>(sjis[++i]), row, cell);
      out += static_cast<char>(row | 0x80);
      out += static_cast<char>(cell | 0x80);
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string ShiftJisToIso2022(const std::string& sjis) {
  static const std::string kToTwoByte = "\x1B$B";
  static const std::string kToAscii = "\x1B(B";
  std::string out;
  bool twoByte = false;
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    if (IsLeadByte(b) && i + 1 < sjis.size()) {
      unsigned char row, cell;
      ShiftJisToJis(b, static_cast<unsigned char>(sjis[++i]), row, cell);
      if (!twoByte) out += kToTwoByte;
      twoByte = true;
      out += static_cast<char>(row);
      out += static_cast<char>(cell);
    } else {
      if (twoByte) out += kToAscii;
      twoByte = false;
      out += b < 0x80 ? static_cast<char>(b) : '?';
    }
  }
  if (twoByte) out += kToAscii;
  return out;
}

}  // namespace

std::string EncodePage(std::string_view utf8, PageEncoding encoding) {
  switch (encoding) {
    case PageEncoding::Utf8: return std::string(utf8);
    case PageEncoding::ShiftJis: return Utf8ToCp932(utf8);
    case PageEncoding::EucJp: return ShiftJisToEuc(Utf8ToCp932(utf8));
    case PageEncoding::Iso2022Jp: return ShiftJisToIso2022(Utf8ToCp932(utf8));
  }
  return std::string(utf8);
}

}  // namespace velt::kbsite
