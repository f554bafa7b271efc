#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {

std::u16string_view RegexFirstSubMatchView(TRegExp& engine, std::u16string_view text, std::u16string_view pattern) {
  engine.SetPattern(pattern);
  engine.SetGlobal(false);
  engine.SetIgnoreCase(true);
  return engine.FirstGroup(text);
}

std::u16string RegexFirstSubMatch(TRegExp& engine, std::u16string_view text, std::u16string_view pattern) {
  return std::u16string(RegexFirstSubMatchView(engine, text, pattern));
}

}  // namespace velt
