// The database's LIKE pattern matching, as a pure function.
//
// Wildcards: "%" any run of characters (also none), "_" one character of
// the text as stored, "[list]" one character from the list, "[!list]" one
// character not in it. A list holds single characters and ranges such as
// "a-c"; a "-" first or last in the list, and "[" inside it, stand for
// themselves, so "[%]", "[_]" and "[[]" match those characters literally.
// "[]" matches nothing and consumes nothing; "[!]" matches any one
// character. Every other character, "]" outside a list included, matches
// itself.
//
// Pattern and text compare as TextFolding.h folds them, and the match
// covers the whole text. A half-width kana with its sound mark is one
// character to a literal or a list ("ｶﾞ" matches "ガ", "[ｶﾞ]" and
// "[か-ご]") but two to "_": a run of n "_" takes characters that were n
// as stored, and never half of such a pair ("ｶﾞ" matches "__", not "_").
// A list member matches every character that folds to it; a range matches
// every character whose folded form lies between its folded bounds.
//
// Malformed patterns (a "[" without its "]", a range whose folded bounds
// descend, such as "[z-a]") give LikeResult::Malformed. Time is
// O(text × pattern) at worst, however many "%" the pattern holds.
// Thread-safe; no shared state.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt::provider {

enum class LikeResult { NoMatch, Match, Malformed };

LikeResult MatchLike(std::string_view text, std::string_view pattern);

// The error text for a malformed pattern.
std::string InvalidLikePatternMessage(std::string_view pattern);

// A pattern parsed once, for matching many texts against it.
class LikePattern {
 public:
  static std::optional<LikePattern> Compile(std::string_view pattern);
  bool Matches(std::string_view text) const;
  // The runs of plain characters between wildcards, folded, that every
  // matching text holds as they stand (after folding), each at least
  // `minLength` characters long. A character that is not valid UTF-8 (or
  // is NUL) ends a run, as no index can promise to hold it.
  std::vector<std::u32string> LiteralRuns(std::size_t minLength) const;

 private:
  struct Element {
    enum class Kind { Literal, AnyStored, AnyRun, Set };
    explicit Element(Kind k) : kind(k) {}
    Kind kind;
    char32_t literal = 0;     // folded
    std::size_t stored = 0;   // AnyStored: how many stored characters
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded bounds
    // Takes this element's characters of `text` from `pos` on; false when
    // they do not match.
    bool Take(std::string_view text, std::size_t& pos) const;
  };
  static bool ParseSet(std::string_view pattern, std::size_t& pos, Element& set);

  std::vector<Element> elements_;
};

}  // namespace velt::provider
