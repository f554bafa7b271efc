#include "session/LogLine.h"

#include "platform/LocalTime.h"

namespace velt {

std::string FormatLogLine(const std::string& text, int level, const std::string& timeText) {
  return (level == 0 ? "○" : "●") + timeText + text;
}

std::string StampLogLine(const std::string& text, int level) {
  return FormatLogLine(text, level, FormatLocalNow("%Y/%m/%d %H:%M:%S "));
}

}  // namespace velt
