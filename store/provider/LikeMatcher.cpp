#include "store/provider/LikeMatcher.h"

#include "store/provider/TextFolding.h"

namespace velt::provider {

namespace {

// How many stored characters the folded character from `from` to `to` was.
std::size_t StoredCount(std::string_view text, std::size_t from, std::size_t to) {
  DecodeUtf8At(text, from);
  return from == to ? 1 : 2;
}

// Whether a text byte can begin a character that folds to the ASCII
// character `folded`.
bool MayStartFoldedAscii(unsigned char b, char32_t folded) {
  if (b >= 0x80) return MayFoldToAscii(b);
  return FoldCharacter(b) == folded;
}

}  // namespace

bool LikePattern::Element::Take(std::string_view text, std::size_t& pos) const {
  if (kind == Kind::AnyStored) {
    for (std::size_t left = stored; left > 0;) {
      if (pos == text.size()) return false;
      const std::size_t start = pos;
      DecodeFoldedAt(text, pos);
      const std::size_t count = StoredCount(text, start, pos);
      if (count > left) return false;
      left -= count;
    }
    return true;
  }
  const char32_t folded = DecodeFoldedAt(text, pos);
  if (kind == Kind::Literal) return folded == literal;
  bool inSet = false;
  for (const auto& [low, high] : ranges) {
    if (folded >= low && folded <= high) {
      inSet = true;
      break;
    }
  }
  return inSet != negate;
}

// Parses the list after "[" up to its "]"; `pos` ends past the "]".
bool LikePattern::ParseSet(std::string_view pattern, std::size_t& pos, Element& set) {
  struct Member {
    char32_t folded;
    bool dash;
  };
  std::vector<Member> members;
  if (pos < pattern.size() && pattern[pos] == '!') {
    set.negate = true;
    ++pos;
  }
  bool closed = false;
  while (pos < pattern.size()) {
    if (pattern[pos] == ']') {
      ++pos;
      closed = true;
      break;
    }
    const bool dash = pattern[pos] == '-';
    members.push_back({DecodeFoldedAt(pattern, pos), dash});
  }
  if (!closed) return false;
  for (std::size_t k = 0; k < members.size(); ++k) {
    if (k + 2 < members.size() && members[k + 1].dash) {
      if (members[k].folded > members[k + 2].folded) return false;
      set.ranges.emplace_back(members[k].folded, members[k + 2].folded);
      k += 2;
    } else {
      set.ranges.emplace_back(members[k].folded, members[k].folded);
    }
  }
  return true;
}

std::optional<LikePattern> LikePattern::Compile(std::string_view pattern) {
  LikePattern compiled;
  auto& elements = compiled.elements_;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    if (c == '%') {
      ++pos;
      if (elements.empty() || elements.back().kind != Element::Kind::AnyRun)
        elements.emplace_back(Element::Kind::AnyRun);
    } else if (c == '_') {
      ++pos;
      if (elements.empty() || elements.back().kind != Element::Kind::AnyStored)
        elements.emplace_back(Element::Kind::AnyStored);
      ++elements.back().stored;
    } else if (c == '[') {
      ++pos;
      Element set(Element::Kind::Set);
      if (!ParseSet(pattern, pos, set)) return std::nullopt;
      if (!set.ranges.empty() || set.negate) elements.push_back(std::move(set));
    } else {
      Element literal(Element::Kind::Literal);
      literal.literal = DecodeFoldedAt(pattern, pos);
      elements.push_back(std::move(literal));
    }
  }
  return compiled;
}

bool LikePattern::Matches(std::string_view text) const {
  const std::size_t count = elements_.size();
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // From a given place every element but "%" takes a fixed stretch of the
  // text, and a later start never ends earlier; so retrying only from the
  // latest "%" is enough: earlier ones could not do better.
  std::size_t p = 0;
  std::size_t i = 0;
  std::size_t starElement = kNone;
  std::size_t starText = 0;
  while (true) {
    if (p < count && elements_[p].kind == Element::Kind::AnyRun) {
      starElement = p++;
      starText = i;
      continue;
    }
    if (starElement != kNone && p == starElement + 1 && p < count && elements_[p].kind == Element::Kind::Literal &&
        elements_[p].literal < 0x80) {
      // Skip straight to the next place where the literal after "%" can
      // start. Such bytes never occur inside a multi-byte character.
      while (i < text.size() && !MayStartFoldedAscii(static_cast<unsigned char>(text[i]), elements_[p].literal))
        ++i;
      if (i == text.size()) return false;
      starText = i;
    }
    if (i == text.size()) break;
    if (p < count) {
      std::size_t next = i;
      if (elements_[p].Take(text, next)) {
        ++p;
        i = next;
        continue;
      }
    }
    if (starElement == kNone) return false;
    p = starElement + 1;
    DecodeFoldedAt(text, starText);
    i = starText;
  }
  while (p < count && elements_[p].kind == Element::Kind::AnyRun) ++p;
  return p == count;
}

std::vector<std::u32string> LikePattern::LiteralRuns(std::size_t minLength) const {
  std::vector<std::u32string> runs;
  std::u32string run;
  auto flush = [&]() {
    if (run.size() >= minLength && !run.empty()) runs.push_back(run);
    run.clear();
  };
  for (const Element& element : elements_) {
    if (element.kind == Element::Kind::Literal && element.literal != 0 && element.literal < BrokenByteBase) {
      run += element.literal;
    } else {
      flush();
    }
  }
  flush();
  return runs;
}

LikeResult MatchLike(std::string_view text, std::string_view pattern) {
  const auto compiled = LikePattern::Compile(pattern);
  if (!compiled) return LikeResult::Malformed;
  return compiled->Matches(text) ? LikeResult::Match : LikeResult::NoMatch;
}

std::string InvalidLikePatternMessage(std::string_view pattern) {
  return "Invalid LIKE pattern (an unclosed \"[\" or a descending range): " + std::string(pattern);
}

}  // namespace velt::provider
