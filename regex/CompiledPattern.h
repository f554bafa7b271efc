// One pattern compiled for the 16-bit engine, with the options that give
// TRegExp its dialect, and the search primitive TRegExp builds on
// (internal to the regex library).
//
// A CompiledPattern is immutable once made (its compiled code included),
// so one object serves searches from any number of threads at once; the
// process keeps one per pattern (SharedPattern). Everything a search
// writes lives in a MatchScratch, which belongs to one thread's searches.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Start and end of the whole match and of each group, in UTF-16 units;
// npos for a group that took no part.
struct MatchSpans {
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::vector<std::size_t> begin;  // [0] is the whole match
  std::vector<std::size_t> end;
};

// Search settings, the stack for compiled-code searches and the match
// data, for any pattern. A search that outgrows the stack (or, in the
// interpreter, its heap limit) fails with an error rather than growing
// without bound. Without compiled code every search runs in the
// interpreter, as it does where the platform cannot make compiled code.
class MatchScratch {
 public:
  explicit MatchScratch(bool compiledCode = true);
  ~MatchScratch();
  MatchScratch(const MatchScratch&) = delete;
  MatchScratch& operator=(const MatchScratch&) = delete;

  pcre2_match_context* Context() const { return context_; }
  bool HasJitStack() const { return stack_ != nullptr; }
  // Match data with room for at least `pairs` offset pairs.
  pcre2_match_data* Data(uint32_t pairs);

 private:
  pcre2_jit_stack* stack_ = nullptr;
  pcre2_match_context* context_ = nullptr;
  pcre2_match_data* data_ = nullptr;
};

class CompiledPattern {
 public:
  // Raises velt::Error naming the fault and its position for an invalid
  // pattern.
  CompiledPattern(std::u16string_view pattern, bool ignoreCase);
  ~CompiledPattern();
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;

  // Leftmost match that starts at or after `start`. False when there is
  // none; raises velt::Error when the engine gives up.
  bool Find(std::u16string_view text, std::size_t start, MatchScratch& scratch, MatchSpans& spans) const;

 private:
  pcre2_code* code_ = nullptr;
  uint32_t pairs_ = 0;
  bool jitCompiled_ = false;
};

// The process's one compiled form of a pattern and flag, made on first
// use. Safe from any thread; the result stays valid while it is held.
// Raises as the CompiledPattern constructor does.
std::shared_ptr<const CompiledPattern> SharedPattern(std::u16string_view pattern, bool ignoreCase);

}  // namespace velt
