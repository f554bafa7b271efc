// The system's iconv as an independent reference for the Japanese
// conversions: one call converts a whole byte string between two named
// encodings. Not thread-safe in the sense that each call opens its own
// descriptor; calls from several threads are fine but slow.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velt::testing {

// The converted bytes, including the return to the initial shift state of
// a stateful target; nothing when iconv rejects any part of the input.
std::optional<std::string> Iconv(const char* to, const char* from, std::string_view in);

}  // namespace velt::testing
