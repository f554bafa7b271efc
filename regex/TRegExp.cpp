#include <memory>
#include <string>
#include <utility>

#include "platform/Error.h"
#include "regex/CompiledPattern.h"
#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {
namespace {

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

// What a TRegExp writes while it searches; the compiled patterns are the
// process's.
class TRegExp::Engine {
 public:
  MatchScratch scratch;
  MatchSpans spans;
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

TRegExp::Engine& TRegExp::Scratch() {
  if (!engine_) engine_ = std::make_unique<Engine>();
  return *engine_;
}

TMatchCollection TRegExp::Execute(std::u16string_view text) {
  const auto compiled = SharedPattern(pattern_, ignoreCase_);
  Engine& engine = Scratch();
  std::vector<TMatch> matches;
  std::size_t start = 0;
  while (start <= text.size() && compiled->Find(text, start, engine.scratch, engine.spans)) {
    matches.push_back(MakeMatch(text, engine.spans));
    if (!global_) break;
    const std::size_t end = engine.spans.end[0];
    start = end > engine.spans.begin[0] ? end : NextCharacter(text, end);
  }
  return TMatchCollection(std::move(matches));
}

std::u16string_view TRegExp::FirstGroup(std::u16string_view text) {
  const auto compiled = SharedPattern(pattern_, ignoreCase_);
  Engine& engine = Scratch();
  if (!compiled->Find(text, 0, engine.scratch, engine.spans)) return {};
  if (engine.spans.begin.size() < 2 || engine.spans.begin[1] == MatchSpans::npos) return {};
  return text.substr(engine.spans.begin[1], engine.spans.end[1] - engine.spans.begin[1]);
}

}  // namespace velt
