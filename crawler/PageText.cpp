#include "crawler/PageText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "platform/Encoding.h"
#include "text/jconvert.h"

namespace velt {
namespace {

bool IsContinuation(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

}  // namespace

std::u16string DecodePageUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    const size_t trailCount = (lead & 0x20) ? 2 : 1;
    // Lead byte with its top two bits cleared, as the decoder has always
    // taken it; the 16-bit result drops whatever a four-byte lead adds.
    std::uint32_t value = lead & 0x3F;
    for (size_t k = 1; k <= trailCount; ++k) {
      if (i + k >= n) return out;  // cut off by the end: drop the tail only
      const auto trail = static_cast<unsigned char>(bytes[i + k]);
      if (!IsContinuation(trail)) return {};
      value = (value << 6) | (trail & 0x3F);
    }
    out += static_cast<char16_t>(value & 0xFFFF);
    i += trailCount + 1;
  }
  return out;
}

bool ContainsNoCase(std::string_view name, std::string_view word) {
  const auto it = std::search(name.begin(), name.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
  return it != name.end() || word.empty();
}

void ConvertPageText(std::string_view charsetName, std::string& text) {
  if (ContainsNoCase(charsetName, "Shift_JIS") || ContainsNoCase(charsetName, "xsjis")) return;
  if (ContainsNoCase(charsetName, "UTF-8")) {
    text = Utf16ToCp932(DecodePageUtf8(text));
  } else if (ContainsNoCase(charsetName, "euc")) {
    text = EucToShiftJis(text);
  } else {
    text = ToShiftJis(text, CodeShiftJis);
  }
}

}  // namespace velt
