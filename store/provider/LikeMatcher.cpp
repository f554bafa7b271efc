#include "store/provider/LikeMatcher.h"

#include "store/provider/TextFolding.h"

namespace velt::provider {

bool LikePattern::Element::Matches(char32_t raw, char32_t folded) const {
  switch (kind) {
    case Kind::Literal:
      return folded == literal;
    case Kind::AnyOne:
      return true;
    case Kind::AnyRun:
      return false;
    case Kind::Set:
      break;
  }
  bool inSet = false;
  for (const auto& [low, high] : ranges) {
    if ((raw >= low && raw <= high) ||
        (folded >= FoldLetterCase(low) && folded <= FoldLetterCase(high))) {
      inSet = true;
      break;
    }
  }
  return inSet != negate;
}

// Parses the list after "[" up to its "]"; `pos` ends past the "]".
bool LikePattern::ParseSet(std::string_view pattern, std::size_t& pos, Element& set) {
  std::vector<char32_t> chars;
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
    chars.push_back(DecodeUtf8At(pattern, pos));
  }
  if (!closed) return false;
  for (std::size_t k = 0; k < chars.size(); ++k) {
    if (k + 2 < chars.size() && chars[k + 1] == U'-') {
      if (chars[k] > chars[k + 2]) return false;
      set.ranges.emplace_back(chars[k], chars[k + 2]);
      k += 2;
    } else {
      set.ranges.emplace_back(chars[k], chars[k]);
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
      elements.emplace_back(Element::Kind::AnyOne);
    } else if (c == '[') {
      ++pos;
      Element set(Element::Kind::Set);
      if (!ParseSet(pattern, pos, set)) return std::nullopt;
      if (set.ranges.empty() && set.negate) {
        elements.emplace_back(Element::Kind::AnyOne);
      } else if (!set.ranges.empty()) {
        elements.push_back(std::move(set));
      }
    } else {
      Element literal(Element::Kind::Literal);
      literal.literal = FoldLetterCase(DecodeUtf8At(pattern, pos));
      elements.push_back(std::move(literal));
    }
  }
  return compiled;
}

bool LikePattern::Matches(std::string_view text) const {
  const std::size_t count = elements_.size();
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Every element but "%" consumes exactly one character, so retrying only
  // from the latest "%" is enough: earlier ones could not do better.
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
    if (p == starElement + 1 && p < count && elements_[p].kind == Element::Kind::Literal &&
        elements_[p].literal < 0x80) {
      // Skip straight to the next place where the literal after "%" can
      // start. ASCII bytes never occur inside a multi-byte character.
      while (i < text.size() && FoldLetterCase(static_cast<unsigned char>(text[i])) != elements_[p].literal)
        ++i;
      if (i == text.size()) return false;
      starText = i;
    }
    if (i == text.size()) break;
    if (p < count) {
      std::size_t next = i;
      const char32_t raw = DecodeUtf8At(text, next);
      if (elements_[p].Matches(raw, FoldLetterCase(raw))) {
        ++p;
        i = next;
        continue;
      }
    }
    if (starElement == kNone) return false;
    p = starElement + 1;
    DecodeUtf8At(text, starText);
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
    if (element.kind == Element::Kind::Literal && element.literal != 0 && element.literal < 0x110000) {
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
