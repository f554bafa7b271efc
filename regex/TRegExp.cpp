#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/Error.h"
#include "regex/CompiledPattern.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {
namespace {

// A worker runs a handful of patterns in turn; more distinct ones than
// this means patterns built from data, and the cache starts afresh.
constexpr std::size_t kMaxCachedPatterns = 32;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Where the search resumes after an empty match at `position`: one
// character further, a surrogate pair counting as one.
std::size_t NextCharacter(std::u16string_view text, std::size_t position) {
  if (position + 1 < text.size() && IsHighSurrogate(text[position]) && IsLowSurrogate(text[position + 1])) {
    return position + 2;
  }
  return position + 1;
}

TMatch MakeMatch(std::u16string_view text, const MatchSpans& spans) {
  std::vector<std::u16string> groups;
  for (std::size_t i = 1; i < spans.begin.size(); ++i) {
    if (spans.begin[i] == MatchSpans::npos) {
      groups.emplace_back();
    } else {
      groups.emplace_back(text.substr(spans.begin[i], spans.end[i] - spans.begin[i]));
    }
  }
  return TMatch(std::u16string(text.substr(spans.begin[0], spans.end[0] - spans.begin[0])),
                static_cast<int>(spans.begin[0]), TSubMatches(std::move(groups)));
}

}  // namespace

class TRegExp::Engine {
 public:
  CompiledPattern& Compiled(const std::u16string& pattern, bool ignoreCase) {
    auto key = std::make_pair(pattern, ignoreCase);
    auto found = cache_.find(key);
    if (found != cache_.end()) return *found->second;
    auto compiled = std::make_unique<CompiledPattern>(pattern, ignoreCase);  // may raise: cache unchanged
    if (cache_.size() >= kMaxCachedPatterns) cache_.clear();
    return *cache_.emplace(std::move(key), std::move(compiled)).first->second;
  }

  MatchStack& Stack() { return stack_; }

 private:
  std::map<std::pair<std::u16string, bool>, std::unique_ptr<CompiledPattern>> cache_;
  MatchStack stack_;
};

const std::u16string& TSubMatches::Item(int index) const {
  if (index < 0 || index >= Count()) throw Error("Submatch index " + std::to_string(index) + " is out of range");
  return items_[index];
}

const TMatch& TMatchCollection::Item(int index) const {
  if (index < 0 || index >= Count()) throw Error("Match index " + std::to_string(index) + " is out of range");
  return items_[index];
}

TRegExp::TRegExp() = default;
TRegExp::~TRegExp() = default;

TMatchCollection TRegExp::Execute(std::u16string_view text) {
  if (!engine_) engine_ = std::make_unique<Engine>();
  CompiledPattern& compiled = engine_->Compiled(pattern_, ignoreCase_);
  std::vector<TMatch> matches;
  MatchSpans spans;
  std::size_t start = 0;
  while (start <= text.size() && compiled.Find(text, start, engine_->Stack(), spans)) {
    matches.push_back(MakeMatch(text, spans));
    if (!global_) break;
    const std::size_t end = spans.end[0];
    start = end > spans.begin[0] ? end : NextCharacter(text, end);
  }
  return TMatchCollection(std::move(matches));
}

}  // namespace velt
