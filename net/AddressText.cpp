#include <cstdint>
#include <optional>
#include <string_view>

#include "net/Http.h"

namespace velt {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal takes the full 32 bits, as the general conversion lets "$FFFFFFFF"
// stand for -1; only more than 32 bits is an overflow.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<std::int32_t> ParseGeneralInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (text.starts_with(prefix)) return ParseHex(text.substr(prefix.size()));
  }
  return ParseDecimal(text);
}

}  // namespace

bool IsByteNumber(const std::string& text) {
  const auto value = ParseGeneralInteger(text);
  return value && *value >= 0 && *value <= 255;
}

bool IsDottedQuad(const std::string& text) {
  std::string_view rest = text;
  for (int piece = 0; piece < 3; ++piece) {
    const auto dot = rest.find('.');
    if (dot == std::string_view::npos) return false;
    if (!IsByteNumber(std::string(rest.substr(0, dot)))) return false;
    rest.remove_prefix(dot + 1);
  }
  if (rest.find('.') != std::string_view::npos) return false;
  return IsByteNumber(std::string(rest));
}

}  // namespace velt
