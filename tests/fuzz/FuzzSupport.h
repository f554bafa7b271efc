// Small helpers shared by the fuzz targets.
//
// Require aborts with a message when an invariant does not hold, so that
// the fuzzer records the input as a finding (an assert would vanish in a
// release build). SplitInput cuts one fuzz input into two texts at the
// first separator byte; LiteralPattern quotes a text for LIKE; IsValidUtf8
// checks the program's text form. All helpers are pure and thread-safe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace velt::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "INVARIANT BROKEN: %s\n", what);
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Without a separator the whole input is the first text.
inline std::pair<std::string_view, std::string_view> SplitInput(std::string_view input, char separator) {
  const auto at = input.find(separator);
  if (at == std::string_view::npos) return {input, {}};
  return {input.substr(0, at), input.substr(at + 1)};
}

// A LIKE pattern that matches exactly the text: each wildcard character
// is put in a one-character list.
inline std::string LiteralPattern(std::string_view text) {
  std::string pattern;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '[') {
      pattern += '[';
      pattern += c;
      pattern += ']';
    } else {
      pattern += c;
    }
  }
  return pattern;
}

// Shortest forms only, no surrogates, nothing above U+10FFFF.
inline bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    char32_t value = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F;
    } else if (lead >= 0x80) {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      value = (value << 6) | (trail & 0x3F);
    }
    if ((length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
        (length == 4 && (value < 0x10000 || value > 0x10FFFF)))
      return false;
    i += length;
  }
  return true;
}

}  // namespace velt::fuzz
