// The text of one log line, the same in the window's message log and on a
// headless run's standard output: the level's mark ("○" for 0,
// information, "●" for 1, error), the local time as
// "yyyy/mm/dd hh:nn:ss " and the text. Pure functions; safe on any thread.
#pragma once

#include <string>

namespace velt {

// One log line from its parts; any level other than 0 is marked as an error.
std::string FormatLogLine(const std::string& text, int level, const std::string& timeText);
// The line stamped with the current local time.
std::string StampLogLine(const std::string& text, int level);

}  // namespace velt
