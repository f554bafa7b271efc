// One pattern compiled for the 16-bit engine, with the options that give
// TRegExp its dialect, and the search primitive TRegExp builds on
// (internal to the regex library).
//
// A CompiledPattern keeps its own match scratch space, so one object must
// not be searched from two threads at once. The JIT stack in MatchStack
// belongs to one thread's searches in the same way.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Search settings and the stack for compiled-code searches, shared by all
// patterns of one TRegExp. A search that outgrows the stack (or, in the
// interpreter, its heap limit) fails with an error rather than growing
// without bound.
class MatchStack {
 public:
  MatchStack();
  ~MatchStack();
  MatchStack(const MatchStack&) = delete;
  MatchStack& operator=(const MatchStack&) = delete;

  pcre2_match_context* Context() const { return context_; }
  bool HasJitStack() const { return stack_ != nullptr; }

 private:
  pcre2_jit_stack* stack_ = nullptr;
  pcre2_match_context* context_ = nullptr;
};

// Start and end of the whole match and of each group, in UTF-16 units;
// npos for a group that took no part.
struct MatchSpans {
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::vector<std::size_t> begin;  // [0] is the whole match
  std::vector<std::size_t> end;
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
  bool Find(std::u16string_view text, std::size_t start, MatchStack& stack, MatchSpans& spans);

 private:
  pcre2_code* code_ = nullptr;
  pcre2_match_data* data_ = nullptr;
  bool jitCompiled_ = false;
};

}  // namespace velt
