// The regular-expression service: TRegExp and the match collections it
// hands out, plus RegexFirstSubMatch, the one operation page analysis uses.
//
// Texts and patterns are UTF-16; matching works on characters, so a
// surrogate pair is one character and no match starts inside one (units
// that form no valid character never match anything). Semantics follow
// the classic script-engine dialect:
// - Multi-line mode is off: "^" is the start of the whole text and "$" its
//   very end (not before a final line break).
// - "." matches anything but CR and LF; "\s" is the ASCII white space
//   (space, tab, CR, LF, VT, FF); "\uXXXX" names a character; "[]" never
//   matches and "[^]" matches anything.
// - IgnoreCase folds the case of Latin and other cased letters.
// - Global gives every non-overlapping match from left to right; after an
//   empty match the search goes on one character further.
// An invalid pattern, and a match that the engine gives up on (a pattern
// that backtracks beyond its limits), raise velt::Error with a message
// text. Long texts (pages of megabytes) need no deep recursion.
//
// A TRegExp is used by one thread at a time (each download worker owns
// one); separate objects may run on separate threads at once. Every
// pattern/flag combination is compiled once per process and shared by all
// objects, each of which keeps only its own match scratch space, so
// setting the same pattern again on each call costs nothing. Results of
// Execute are independent copies and stay valid after the TRegExp is
// gone.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// The groups of one match; a group that took no part is the empty text.
class TSubMatches {
 public:
  explicit TSubMatches(std::vector<std::u16string> items) : items_(std::move(items)) {}
  int Count() const { return static_cast<int>(items_.size()); }
  const std::u16string& Item(int index) const;  // raises for an index out of range

 private:
  std::vector<std::u16string> items_;
};

class TMatch {
 public:
  TMatch(std::u16string value, int firstIndex, TSubMatches subMatches)
      : value_(std::move(value)), firstIndex_(firstIndex), subMatches_(std::move(subMatches)) {}
  const std::u16string& Value() const { return value_; }
  int FirstIndex() const { return firstIndex_; }  // in UTF-16 units from the text's start
  int Length() const { return static_cast<int>(value_.size()); }
  const TSubMatches& SubMatches() const { return subMatches_; }

 private:
  std::u16string value_;
  int firstIndex_;
  TSubMatches subMatches_;
};

class TMatchCollection {
 public:
  explicit TMatchCollection(std::vector<TMatch> items) : items_(std::move(items)) {}
  int Count() const { return static_cast<int>(items_.size()); }
  const TMatch& Item(int index) const;  // raises for an index out of range

 private:
  std::vector<TMatch> items_;
};

class TRegExp {
 public:
  TRegExp();
  ~TRegExp();
  TRegExp(const TRegExp&) = delete;
  TRegExp& operator=(const TRegExp&) = delete;

  const std::u16string& Pattern() const { return pattern_; }
  void SetPattern(std::u16string_view pattern) { pattern_ = pattern; }
  bool IgnoreCase() const { return ignoreCase_; }
  void SetIgnoreCase(bool ignoreCase) { ignoreCase_ = ignoreCase; }
  bool Global() const { return global_; }
  void SetGlobal(bool global) { global_ = global; }

  // Runs the current pattern over `text`: the first match, or every match
  // when Global is set. Raises velt::Error for an invalid pattern or a
  // failed match.
  TMatchCollection Execute(std::u16string_view text);
  // The first group of the first match of the current pattern, as a view
  // into `text`; empty when nothing matches or the group took no part.
  // Raises as Execute does.
  std::u16string_view FirstGroup(std::u16string_view text);

 private:
  class Engine;
  Engine& Scratch();
  std::u16string pattern_;
  bool ignoreCase_ = false;
  bool global_ = false;
  std::unique_ptr<Engine> engine_;  // made on the first Execute
};

// First capturing group of the first case-insensitive match of `pattern`
// in `text`; the empty text when nothing matches or the group took no
// part. Sets pattern and flags of `engine` anew on every call. Raises as
// Execute does.
std::u16string RegexFirstSubMatch(TRegExp& engine, std::u16string_view text, std::u16string_view pattern);
// The same as a view into `text`, for callers that must not copy a value
// as long as a page.
std::u16string_view RegexFirstSubMatchView(TRegExp& engine, std::u16string_view text, std::u16string_view pattern);

}  // namespace velt
