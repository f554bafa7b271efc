#include "platform/LocalTime.h"

#include <ctime>

namespace velt {

std::string FormatLocalNow(const char* strftimeFormat) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[128];
  const size_t length = std::strftime(buffer, sizeof buffer, strftimeFormat, &local);
  return std::string(buffer, length);
}

}  // namespace velt
