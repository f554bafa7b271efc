#include "crawler/RetryAfter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string>

namespace velt {
namespace {

using std::chrono::seconds;

std::optional<seconds> DelaySeconds(std::string_view text) {
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (text.empty() || !std::all_of(text.begin(), text.end(), digit)) return std::nullopt;
  // Ten digits or more are far beyond the cap, and beyond what stol takes.
  if (text.size() > 9) return MaxRetryAfter;
  return std::min(seconds(std::stol(std::string(text))), MaxRetryAfter);
}

int MonthNumber(const char* name) {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (std::string_view(name) == kMonths[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

struct DateParts {
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  char month[4] = {};
};

// "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT" or
// "Sun Nov  6 08:49:37 1994".
bool ReadDate(const std::string& text, DateParts& d) {
  char tail[4] = {};
  char end = 0;
  if (std::sscanf(text.c_str(), "%*3[A-Za-z], %2d %3[A-Za-z] %4d %2d:%2d:%2d %3s%c", &d.day, d.month, &d.year, &d.hour,
                  &d.minute, &d.second, tail, &end) == 7) {
    return std::string_view(tail) == "GMT";
  }
  if (std::sscanf(text.c_str(), "%*[A-Za-z], %2d-%3[A-Za-z]-%2d %2d:%2d:%2d %3s%c", &d.day, d.month, &d.year, &d.hour,
                  &d.minute, &d.second, tail, &end) == 7) {
    d.year += d.year < 70 ? 2000 : 1900;
    return std::string_view(tail) == "GMT";
  }
  return std::sscanf(text.c_str(), "%*3[A-Za-z] %3[A-Za-z] %2d %2d:%2d:%2d %4d%c", d.month, &d.day, &d.hour, &d.minute,
                     &d.second, &d.year, &end) == 6;
}

std::optional<std::chrono::system_clock::time_point> HttpDate(std::string_view text) {
  DateParts d;
  if (!ReadDate(std::string(text), d)) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(d.year), std::chrono::month(MonthNumber(d.month)),
                                         std::chrono::day(d.day)};
  if (!date.ok() || d.hour > 23 || d.minute > 59 || d.second > 60) return std::nullopt;
  return std::chrono::sys_days(date) + std::chrono::hours(d.hour) + std::chrono::minutes(d.minute) + seconds(d.second);
}

}  // namespace

std::optional<seconds> ParseRetryAfter(std::string_view value, std::chrono::system_clock::time_point now) {
  if (const auto delay = DelaySeconds(value)) return delay;
  const auto at = HttpDate(value);
  if (!at) return std::nullopt;
  if (*at <= now) return seconds(0);
  // A part of a second still to wait counts as a whole one.
  return std::min(std::chrono::ceil<seconds>(*at - now), MaxRetryAfter);
}

}  // namespace velt
