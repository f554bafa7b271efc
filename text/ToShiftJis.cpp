#include "text/jconvert.h"

namespace velt {

std::string ToShiftJis(std::string_view text, int target) {
  const int code = DetectJapaneseCode(text);
  if (code == CodeAscii || code == CodeBinary || code == CodeEucOrShiftJis || code == target) {
    return std::string(text);
  }
  const bool isJis = code == CodeNewJis || code == CodeOldJis;
  switch (target) {
    case CodeNewJis:
      if (code == CodeEuc) return EucToJis(text);
      if (code == CodeShiftJis) return ShiftJisToJis(text);
      break;
    case CodeEuc:
      if (isJis) return JisToEuc(text);
      if (code == CodeShiftJis) return ShiftJisToEuc(text);
      break;
    case CodeShiftJis:
      if (isJis) return JisToShiftJis(text);
      if (code == CodeEuc) return EucToShiftJis(text);
      break;
    default:
      break;
  }
  return std::string(text);
}

}  // namespace velt
