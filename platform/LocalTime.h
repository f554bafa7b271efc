// The local time of now as text, in the forms the program writes:
// "%Y/%m/%d %H:%M:%S " for log lines, "%Y%m%d%H%M%S" for time stamps.
// Safe from any thread.
#pragma once

#include <string>

namespace velt {

std::string FormatLocalNow(const char* strftimeFormat);

}  // namespace velt
