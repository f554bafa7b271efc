// Number formats of the About window's memory and process lines.
//
// FormatByteCount writes a count with the user's thousands separator (and
// decimal separator for megabytes), both taken from the default QLocale:
//   unit 0: "1,234,567"      the plain count
//   unit 1: "1,234 B"        bytes
//   unit 2: "1,024 KB"       the value / 1024
//   unit 3 and above: "1.00 MB"  the value / 1024 / 1024, two decimals
// Whole numbers and hundredths are rounded half away from zero.
//
// FormatDuration writes seconds as "h:mm:ss"; hours are not wrapped at 24
// and have no leading zero ("25:00:00", "0:00:59").
//
// Pure functions; safe on any thread as long as nobody changes the default
// locale meanwhile.
#pragma once

#include <cstdint>
#include <string>

namespace velt {

enum ByteUnit : int {
  ByteUnitCount = 0,
  ByteUnitBytes = 1,
  ByteUnitKilobytes = 2,
  ByteUnitMegabytes = 3,
};

std::string FormatByteCount(int unit, int64_t value);
std::string FormatDuration(int32_t seconds);

}  // namespace velt
