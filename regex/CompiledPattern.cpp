#include "regex/CompiledPattern.h"

#include <memory>

#include "platform/Encoding.h"
#include "platform/Error.h"

namespace velt {
namespace {

// Compiled-code searches start with this much stack and may grow it to the
// maximum (address space only, until used). Repeats of single-character
// classes, all the page analysis has, need a few kilobytes whatever the
// page size; a repeated group costs about 40 bytes per repetition, so the
// maximum allows some 1.5 million of them before the search gives up.
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 64 * 1024 * 1024;
// The interpreter, used where no compiled code can be made, keeps its
// backtracking state on the heap; this bounds it per search.
constexpr uint32_t kInterpreterHeapLimitKiB = 256 * 1024;

constexpr uint32_t kCompileOptions =
    PCRE2_UTF | PCRE2_MATCH_INVALID_UTF |  // any text: broken units just never match
    PCRE2_NEVER_BACKSLASH_C |              // no matching half a surrogate pair
    PCRE2_DOLLAR_ENDONLY |                 // "$" only at the very end
    PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;  // script-engine syntax

std::string EngineMessage(int code) {
  PCRE2_UCHAR buffer[256];
  if (pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]) < 0) {
    return "error " + std::to_string(code);
  }
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(buffer));
}

PCRE2_SPTR Units(std::u16string_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

}  // namespace

MatchScratch::MatchScratch(bool compiledCode) {
  context_ = pcre2_match_context_create(nullptr);
  if (!context_) throw Error("Regular expression engine: out of memory");
  pcre2_set_heap_limit(context_, kInterpreterHeapLimitKiB);
  if (compiledCode) stack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
  if (stack_) pcre2_jit_stack_assign(context_, nullptr, stack_);
}

MatchScratch::~MatchScratch() {
  pcre2_match_data_free(data_);
  pcre2_match_context_free(context_);
  pcre2_jit_stack_free(stack_);
}

pcre2_match_data* MatchScratch::Data(uint32_t pairs) {
  if (data_ && pcre2_get_ovector_count(data_) >= pairs) return data_;
  pcre2_match_data* grown = pcre2_match_data_create(pairs, nullptr);
  if (!grown) throw Error("Regular expression engine: out of memory");
  pcre2_match_data_free(data_);
  data_ = grown;
  return data_;
}

CompiledPattern::CompiledPattern(std::u16string_view pattern, bool ignoreCase) {
  std::unique_ptr<pcre2_compile_context, void (*)(pcre2_compile_context*)> context(
      pcre2_compile_context_create(nullptr), pcre2_compile_context_free);
  if (!context) throw Error("Regular expression engine: out of memory");
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);  // "." stops at CR and LF

  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  code_ = pcre2_compile(Units(pattern), pattern.size(), kCompileOptions | (ignoreCase ? PCRE2_CASELESS : 0),
                        &errorCode, &errorOffset, context.get());
  if (!code_) {
    throw Error("Invalid regular expression \"" + Utf16ToUtf8(pattern) + "\": " + EngineMessage(errorCode) +
                " at offset " + std::to_string(errorOffset));
  }
  uint32_t groups = 0;
  pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &groups);
  pairs_ = groups + 1;
  // Compiled once here, before any thread can see the object: the
  // compiled code is then only read.
  jitCompiled_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
}

CompiledPattern::~CompiledPattern() { pcre2_code_free(code_); }

bool CompiledPattern::Find(std::u16string_view text, std::size_t start, MatchScratch& scratch,
                           MatchSpans& spans) const {
  // Compiled code without its own stack would run on the thread's stack
  // with room for little; the interpreter is the safer choice then.
  const uint32_t options = jitCompiled_ && scratch.HasJitStack() ? 0 : PCRE2_NO_JIT;
  pcre2_match_data* data = scratch.Data(pairs_);
  const int rc = pcre2_match(code_, Units(text), text.size(), start, options, data, scratch.Context());
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (rc < 0) throw Error("Regular expression match failed: " + EngineMessage(rc));

  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
  // rc is the number of pairs set, or 0 when they did not all fit (never
  // here: the data has room for every group).
  spans.begin.resize(pairs_);
  spans.end.resize(pairs_);
  for (uint32_t i = 0; i < pairs_; ++i) {
    const bool set = (rc == 0 || i < static_cast<uint32_t>(rc)) && ovector[2 * i] != PCRE2_UNSET;
    spans.begin[i] = set ? ovector[2 * i] : MatchSpans::npos;
    spans.end[i] = set ? ovector[2 * i + 1] : MatchSpans::npos;
  }
  return true;
}

}  // namespace velt
