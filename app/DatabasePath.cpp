#include "app/DatabasePath.h"

namespace velt {

std::string DatabasePathForExecutable(const std::string& executablePath) {
  const size_t nameStart = executablePath.find_last_of('/');
  const size_t dot = executablePath.find_last_of('.');
  const bool dotInName = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  return (dotInName ? executablePath.substr(0, dot) : executablePath) + ".mdb";
}

}  // namespace velt
