#include "crawler/RefreshFetch.h"

#include "crawler/DownloadThread.h"  // TimeStampFormat

#include <cstdio>
#include <ctime>
#include <utility>

namespace velt {

bool IsGoneStatus(int resCode) { return resCode == 302 || resCode == 404 || resCode == 410; }

Refreshed RefreshedBy(int storedCode, int resCode) {
  if (resCode == 304) return Refreshed::Unchanged;
  if (IsGoneStatus(resCode) && resCode != storedCode) return Refreshed::Gone;
  return storedCode == resCode && resCode != 200 ? Refreshed::Unchanged : Refreshed::Changed;
}

std::optional<std::time_t> TimeOfLocalStamp(const std::string& stamp) {
  std::tm local{};
  if (stamp.size() != 14 ||
      std::sscanf(stamp.c_str(), "%4d%2d%2d%2d%2d%2d", &local.tm_year, &local.tm_mon, &local.tm_mday, &local.tm_hour,
                  &local.tm_min, &local.tm_sec) != 6) {
    return std::nullopt;
  }
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;
  const std::time_t when = std::mktime(&local);
  if (when == static_cast<std::time_t>(-1)) return std::nullopt;
  return when;
}

std::string HttpDateOfLocalStamp(const std::string& stamp) {
  const auto when = TimeOfLocalStamp(stamp);
  std::tm utc{};
  if (!when || !gmtime_r(&*when, &utc)) return "";
  // Spelt out here: strftime's names follow the locale.
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[utc.tm_wday], utc.tm_mday,
                kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

std::string LocalStampDaysAgo(int days) {
  const std::time_t when = std::time(nullptr) - static_cast<std::time_t>(days) * 86400;
  std::tm local{};
  localtime_r(&when, &local);
  char text[16];
  std::strftime(text, sizeof text, TimeStampFormat, &local);
  return text;
}

std::string ConditionalHeaderLine(const RefreshOf& refresh) {
  return refresh.since.empty() ? "" : "If-Modified-Since: " + refresh.since + "\r\n";
}

bool GoneStreak::Hold(std::string updateSql) {
  if (paused_) return false;
  held_.push_back(std::move(updateSql));
  if (static_cast<int>(held_.size()) < Limit) return false;
  paused_ = true;
  held_.clear();
  return true;
}

std::vector<std::string> GoneStreak::Release() { return std::exchange(held_, {}); }

}  // namespace velt
