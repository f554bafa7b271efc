#include "crawler/PageText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "net/AsciiCase.h"
#include "platform/Encoding.h"
#include "text/jconvert.h"

namespace velt {
namespace {

bool IsContinuation(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// Code page 932 text is made from this many decoded units at a time, so a
// page is never held whole as UTF-16 on the way.
constexpr std::size_t kSliceUnits = 64 * 1024;

// Decodes `bytes`, handing each unit to `put`. False for a broken sequence
// inside the text; a sequence cut off by the end is dropped.
template <typename Put>
bool DecodeUtf8(std::string_view bytes, Put put) {
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      put(static_cast<char16_t>(lead));
      ++i;
      continue;
    }
    // F0 to F4 lead the four-byte form of the characters beyond 16 bits
    // (emoji, the rarer kanji such as U+20BB7); other leads keep the
    // decoder's old reading, with their top two bits cleared.
    const bool fourBytes = lead >= 0xF0 && lead <= 0xF4;
    const size_t trailCount = fourBytes ? 3 : (lead & 0x20) ? 2 : 1;
    std::uint32_t value = lead & (fourBytes ? 0x07 : 0x3F);
    for (size_t k = 1; k <= trailCount; ++k) {
      if (i + k >= n) return true;  // cut off by the end: drop the tail only
      const auto trail = static_cast<unsigned char>(bytes[i + k]);
      if (!IsContinuation(trail)) return false;
      value = (value << 6) | (trail & 0x3F);
    }
    if (!fourBytes) {
      put(static_cast<char16_t>(value & 0xFFFF));  // drops what the lead's marker bits add
    } else if (value > 0x10FFFF) {
      return false;
    } else if (value > 0xFFFF) {
      put(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
    } else {
      put(static_cast<char16_t>(value));
    }
    i += trailCount + 1;
  }
  return true;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::string Utf8PageToCp932(std::string_view bytes) {
  std::string out;
  std::u16string slice;
  slice.reserve(kSliceUnits + 1);
  const auto flush = [&](bool last) {
    // A high surrogate waits for the unit after it: the pair is one
    // character, and one "?" if code page 932 lacks it.
    const bool keep = !last && !slice.empty() && IsHighSurrogate(slice.back());
    out += Utf16ToCp932(std::u16string_view(slice).substr(0, slice.size() - keep));
    slice.erase(0, slice.size() - keep);
  };
  const bool whole = DecodeUtf8(bytes, [&](char16_t unit) {
    slice += unit;
    if (slice.size() >= kSliceUnits) flush(false);
  });
  if (!whole) return {};
  flush(true);
  return out;
}

}  // namespace

std::u16string DecodePageUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  if (!DecodeUtf8(bytes, [&out](char16_t unit) { out += unit; })) return {};
  return out;
}

bool ContainsNoCase(std::string_view name, std::string_view word) {
  const auto it = std::search(name.begin(), name.end(), word.begin(), word.end(), SameAsciiLetter);
  return it != name.end() || word.empty();
}

void ConvertPageText(std::string_view charsetName, std::string& text) {
  if (ContainsNoCase(charsetName, "Shift_JIS") || ContainsNoCase(charsetName, "xsjis")) return;
  if (ContainsNoCase(charsetName, "UTF-8")) {
    text = Utf8PageToCp932(text);
  } else if (ContainsNoCase(charsetName, "euc")) {
    text = EucToShiftJis(text);
  } else {
    text = ToShiftJis(text, CodeShiftJis);
  }
}

}  // namespace velt
