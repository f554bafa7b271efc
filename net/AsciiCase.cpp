#include "net/AsciiCase.h"

#include <algorithm>

namespace velt {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameAsciiLetter(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

bool SameAsciiText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameAsciiLetter);
}

}  // namespace velt
