// Every conversion and the detector of jconvert.h on arbitrary bytes, plus
// round trips on well-formed Shift_JIS built from the same bytes.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "text/jconvert.h"

namespace {

using velt::fuzz::Require;

// Printable ASCII and JIS X 0208 characters in Shift_JIS, one or two input
// bytes each; no half-width katakana, whose JIS form is full-width.
std::string WellFormedShiftJis(std::string_view bytes) {
  std::string sjis;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80 || i + 1 == bytes.size()) {
      sjis += static_cast<char>(0x20 + b % 0x5F);
      continue;
    }
    const auto row = static_cast<unsigned char>(0x21 + b % 94);
    const auto cell = static_cast<unsigned char>(0x21 + static_cast<unsigned char>(bytes[++i]) % 94);
    const velt::BytePair pair = velt::JisPairToShiftJis(row, cell);
    Require(velt::ShiftJisPairToJis(pair.first, pair.second) == velt::BytePair{row, cell},
            "JIS pair arithmetic does not invert");
    sjis += static_cast<char>(pair.first);
    sjis += static_cast<char>(pair.second);
  }
  return sjis;
}

void CheckArbitraryBytes(std::string_view text) {
  const int code = velt::DetectJapaneseCode(text);
  Require(code >= velt::CodeAscii && code <= velt::CodeEucOrShiftJis, "detector verdict out of range");
  if (text.size() < 2) Require(code == velt::CodeAscii, "short text not judged ASCII");

  const std::string sjis = velt::ToShiftJis(text, velt::CodeShiftJis);
  if (code == velt::CodeAscii || code == velt::CodeBinary || code == velt::CodeEucOrShiftJis ||
      code == velt::CodeShiftJis)
    Require(sjis == text, "text that needs no conversion was changed");
  Require(velt::ToShiftJis(text, velt::CodeAscii) == text, "unsupported target changed the text");
  velt::ToShiftJis(text, velt::CodeEuc);
  velt::ToShiftJis(text, velt::CodeNewJis);

  Require(velt::JisToShiftJis(text).find('\0') == std::string::npos, "JisToShiftJis kept a zero byte");
  velt::EucToShiftJis(text);
  velt::JisToEuc(text);
  velt::EucToJis(text);
  velt::ShiftJisToJis(text);
  velt::ShiftJisToEuc(text);

  for (std::size_t start = 0; start < text.size(); ++start) {
    const auto b = static_cast<unsigned char>(text[start]);
    std::size_t next = start;
    if (b == 0x8E) velt::EucKanaToJis(text, next);
    if (b >= 0xA1 && b <= 0xDF) velt::ShiftJisKanaToJis(text, next);
    Require(next == start || (next > start && next <= text.size() + 1), "kana reader moved outside the text");
  }
}

void CheckRoundTrips(const std::string& sjis) {
  const std::string euc = velt::ShiftJisToEuc(sjis);
  const std::string jis = velt::ShiftJisToJis(sjis);
  Require(velt::EucToShiftJis(euc) == sjis, "Shift_JIS -> EUC-JP -> Shift_JIS changed the text");
  Require(velt::JisToShiftJis(jis) == sjis, "Shift_JIS -> JIS -> Shift_JIS changed the text");
  Require(velt::JisToEuc(jis) == euc, "JIS -> EUC-JP disagrees with Shift_JIS -> EUC-JP");
  Require(velt::EucToJis(euc) == jis, "EUC-JP -> JIS disagrees with Shift_JIS -> JIS");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = velt::fuzz::AsText(data, size);
  CheckArbitraryBytes(text);
  CheckRoundTrips(WellFormedShiftJis(text));
  return 0;
}
