#include "about/StatusFormat.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace velt {
namespace {

// Digits of a non-negative whole number with the separator between groups
// of three.
std::string Grouped(uint64_t whole, const std::string& separator) {
  std::string digits = std::to_string(whole);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, separator);
  return digits;
}

// value rounded to the given number of decimals (0 or 2), in the locale's
// separators.
std::string Picture(double value, int decimals) {
  const QLocale locale;
  const double scale = decimals == 2 ? 100.0 : 1.0;
  const double scaled = std::round(std::fabs(value) * scale);
  // Rounding that leaves no visible digit other than zero drops the sign.
  const std::string sign = value < 0 && scaled > 0 ? locale.negativeSign().toStdString() : "";
  const auto units = static_cast<uint64_t>(scaled);
  std::string text = sign + Grouped(units / static_cast<uint64_t>(scale), locale.groupSeparator().toStdString());
  if (decimals == 2) {
    char cents[3];
    std::snprintf(cents, sizeof cents, "%02u", static_cast<unsigned>(units % 100));
    text += locale.decimalPoint().toStdString() + cents;
  }
  return text;
}

}  // namespace

std::string FormatByteCount(int unit, int64_t value) {
  const auto number = static_cast<double>(value);
  switch (unit) {
    case ByteUnitCount: return Picture(number, 0);
    case ByteUnitBytes: return Picture(number, 0) + " B";
    case ByteUnitKilobytes: return Picture(number / 1024, 0) + " KB";
    default: return Picture(number / 1024 / 1024, 2) + " MB";
  }
}

std::string FormatDuration(int32_t seconds) {
  const int32_t secondsPart = seconds % 60;
  const int32_t minutes = ((seconds - secondsPart) / 60) % 60;
  const int32_t hours = ((seconds - secondsPart) / 60) / 60;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%2.2d:%2.2d", hours, minutes, secondsPart);
  return text;
}

}  // namespace velt
