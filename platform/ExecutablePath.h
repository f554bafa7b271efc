// The full path of the running executable (resolved, absolute).
#pragma once

#include <string>

namespace velt {

std::string ExecutablePath();

}  // namespace velt
