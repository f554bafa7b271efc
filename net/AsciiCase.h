// Letter case in protocol texts (header names, host names, markers) is
// ASCII's alone: a byte outside A-Z and a-z compares as itself, whatever
// the process's locale says. Pure; any thread.
#pragma once

#include <string_view>

namespace velt {

bool SameAsciiLetter(char a, char b);
bool SameAsciiText(std::string_view a, std::string_view b);

}  // namespace velt
