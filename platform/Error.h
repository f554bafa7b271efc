// The program's general error class.
//
// Layers that report failure by raising (the HTTP client, the regular-
// expression service, the thread framework) throw velt::Error carrying a
// message text meant for the user. Callers that show errors use what() as is.
#pragma once

#include <stdexcept>
#include <string>

namespace velt {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velt
