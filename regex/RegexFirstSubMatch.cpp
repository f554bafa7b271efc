#include "regex/VBScript_RegExp_55_TLB.h"

namespace velt {

std::u16string RegexFirstSubMatch(TRegExp& engine, std::u16string_view text, std::u16string_view pattern) {
  std::u16string result;
  engine.SetPattern(pattern);
  engine.SetGlobal(false);
  engine.SetIgnoreCase(true);
  const TMatchCollection matches = engine.Execute(text);
  if (matches.Count() > 0) {
    const TSubMatches& groups = matches.Item(0).SubMatches();
    if (groups.Count() > 0) result = groups.Item(0);
  }
  return result;
}

}  // namespace velt
