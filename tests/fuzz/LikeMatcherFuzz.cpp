// The LIKE matcher on arbitrary patterns and texts (separated by the first
// zero byte): both entry points agree, and a text always matches itself
// with its wildcard characters bracketed, in any ASCII letter case, and
// contains its second half.
#include <cstdint>
#include <string>

#include "store/provider/LikeMatcher.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using velt::fuzz::LiteralPattern;
using velt::fuzz::Require;
using velt::provider::LikePattern;
using velt::provider::LikeResult;
using velt::provider::MatchLike;

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [pattern, text] = velt::fuzz::SplitInput(velt::fuzz::AsText(data, size), '\0');
  const LikeResult result = MatchLike(text, pattern);
  const auto compiled = LikePattern::Compile(pattern);
  Require((result == LikeResult::Malformed) == !compiled.has_value(), "entry points disagree on malformed");
  if (compiled) Require(compiled->Matches(text) == (result == LikeResult::Match), "entry points disagree");
  if (result == LikeResult::Malformed)
    Require(pattern.find('[') != std::string_view::npos, "pattern without a list called malformed");

  Require(MatchLike(text, "%") == LikeResult::Match, "'%' does not match everything");
  const std::string literal = LiteralPattern(text);
  Require(MatchLike(text, literal) == LikeResult::Match, "text does not match itself");
  Require(MatchLike(AsciiUpper(text), literal) == LikeResult::Match, "letter case mattered");
  // The second half starts on a character boundary: never on a UTF-8
  // continuation byte, nor on a half-width or combining sound mark, which
  // belongs to the kana before it.
  std::size_t half = text.size() / 2;
  while (half < text.size() && (static_cast<unsigned char>(text[half]) & 0xC0) == 0x80) ++half;
  const std::string_view rest = text.substr(half);
  for (const char* mark : {"\xEF\xBE\x9E", "\xEF\xBE\x9F", "\xE3\x82\x99", "\xE3\x82\x9A"})
    if (rest.rfind(mark, 0) == 0) half += 3;
  Require(MatchLike(text, "%" + LiteralPattern(text.substr(half)) + "%") == LikeResult::Match,
          "text does not contain its second half");
  return 0;
}
