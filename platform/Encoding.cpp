#include "platform/Encoding.h"

#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <utility>

namespace velt {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One converter per thread and direction: iconv descriptors keep state and
// must not be shared between threads, and opening one per call is costly.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns how many input bytes it used and
  // appends the output. Stops at the first unit it cannot convert.
  size_t Step(const char* in, size_t inLen, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    size_t used = 0;
    while (used < inLen) {
      char* src = const_cast<char*>(in + used);
      size_t srcLeft = inLen - used;
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      used = inLen - srcLeft;
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    return used;
  }

 private:
  iconv_t cd_;
};

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Code page 932 decodes one byte or one pair at a time whatever came
// before, so the converter's verdict on every byte and every pair is asked
// once and kept: a page of megabytes then decodes without calling it for
// every piece, and without an intermediate copy.
class Cp932Decoder {
 public:
  Cp932Decoder() {
    Converter conv(kUtf16Name, "CP932");
    single_.fill(kNone);
    pair_.fill(kNone);
    if (!conv.valid()) return;
    for (unsigned b = 0; b < 256; ++b) {
      const char one[] = {static_cast<char>(b)};
      single_[b] = OneCharacter(conv, one, 1);
      if (single_[b] != kNone) continue;
      for (unsigned t = 0; t < 256; ++t) {
        const char two[] = {static_cast<char>(b), static_cast<char>(t)};
        pair_[b << 8 | t] = OneCharacter(conv, two, 2);
      }
    }
  }

  std::u16string Decode(std::string_view cp932) const {
    // Every byte or pair gives one unit at most; memory is touched only
    // for the units that come out.
    std::u16string out;
    out.reserve(cp932.size());
    char16_t piece[4096];
    size_t filled = 0;
    const size_t n = cp932.size();
    size_t pos = 0;
    while (pos < n) {
      if (filled == std::size(piece)) out.append(piece, std::exchange(filled, 0));
      const auto b = static_cast<unsigned char>(cp932[pos]);
      if (single_[b] != kNone) {
        piece[filled++] = single_[b];
        ++pos;
        continue;
      }
      const auto next = pos + 1 < n ? static_cast<unsigned char>(cp932[pos + 1]) : 0;
      if (pos + 1 < n && pair_[b << 8 | next] != kNone) {
        piece[filled++] = pair_[b << 8 | next];
        pos += 2;
        continue;
      }
      // A unit that does not decode: an undefined pair is one character,
      // anything else one byte; the rest goes on.
      const bool pair = IsCp932Lead(b) && pos + 1 < n && IsCp932Trail(next);
      piece[filled++] = kReplacement;
      pos += pair ? 2 : 1;
    }
    out.append(piece, filled);
    return out;
  }

 private:
  static constexpr char16_t kNone = 0xFFFF;  // no code page 932 character decodes to it

  // The one unit that exactly these bytes decode to, or kNone.
  static char16_t OneCharacter(Converter& conv, const char* bytes, size_t count) {
    std::string units;
    if (conv.Step(bytes, count, units) != count || units.size() != 2) return kNone;
    char16_t unit;
    std::memcpy(&unit, units.data(), 2);
    return unit;
  }

  std::array<char16_t, 256> single_;
  std::array<char16_t, 256 * 256> pair_;
};

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string Cp932ToUtf16(std::string_view cp932) {
  static const Cp932Decoder& decoder = *new Cp932Decoder;  // never destroyed: workers may outlive main
  return decoder.Decode(cp932);
}

std::string Utf16ToCp932(std::u16string_view utf16) {
  thread_local Converter conv("CP932", kUtf16Name);
  std::string out;
  out.reserve(utf16.size() * 2);
  const char* raw = reinterpret_cast<const char*>(utf16.data());
  const size_t total = utf16.size() * 2;
  size_t pos = 0;
  while (pos < total) {
    pos += conv.valid() ? conv.Step(raw + pos, total - pos, out) : 0;
    if (pos >= total) break;
    // A character code page 932 lacks (or a lone surrogate) becomes "?".
    const char16_t unit = utf16[pos / 2];
    const bool surrogatePair = unit >= 0xD800 && unit <= 0xDBFF && pos / 2 + 1 < utf16.size() &&
                               utf16[pos / 2 + 1] >= 0xDC00 && utf16[pos / 2 + 1] <= 0xDFFF;
    out += '?';
    pos += surrogatePair ? 4 : 2;
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  const size_t n = utf8.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    size_t len;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1F, len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0F, len = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      cp = b & 0x07, len = 4;
    } else {
      out += kReplacement, ++i;
      continue;
    }
    size_t k = 1;
    for (; k < len && i + k < n; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (k < len || overlong || surrogate || cp > 0x10FFFF) {
      out += kReplacement;
      i += k;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) { return Utf16ToUtf8(Cp932ToUtf16(cp932)); }

std::string Utf8ToCp932(std::string_view utf8) { return Utf16ToCp932(Utf8ToUtf16(utf8)); }

}  // namespace velt
