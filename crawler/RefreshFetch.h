// A stored article fetched again to keep the index current.
//
// Unlike a first fetch, a refresh claims nothing: the row keeps its texts
// and stays in the search until its new answer is written over it, and a
// failed or busy fetch leaves it exactly as it was. An article that had
// 200 is asked for with If-Modified-Since (RFC 1945 10.9) and the time of
// its last fetch; 304 then only records the new fetch times.
//
// A "gone" answer (302, 404, 410) for an article that had another status
// (200: it leaves the search) is written only once the site shows it is
// sound: such answers
// are held (GoneStreak) until a refresh answers 200 or 304. A run of
// GoneStreak::Limit of them in a row is a broken site, not a withdrawal:
// the refresh pauses for the rest of the run and none of those rows
// changes. What is still held when the run ends is fetched again next run.
//
// Pure values; GoneStreak belongs to the dispatcher's thread.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace velt {

struct RefreshOf {
  int storedCode = 0;  // the row's RESCODE before this fetch
  std::string since;   // If-Modified-Since's date; "" to ask unconditionally
};

// How a refresh ended, as the counts show it; No for a first fetch.
enum class Refreshed { No, Unchanged, Changed, Gone };

bool IsGoneStatus(int resCode);

// What a refresh's answer means for a row that had `storedCode`.
Refreshed RefreshedBy(int storedCode, int resCode);

// "yyyymmddhhnnss" in local time, as the table stores fetch times, as a
// calendar time; none for a text that is no such time.
std::optional<std::time_t> TimeOfLocalStamp(const std::string& stamp);

// "yyyymmddhhnnss" in local time, as the table stores fetch times, in the
// HTTP date form ("Sun, 06 Nov 1994 08:49:37 GMT"); "" for a text that
// is no such time.
std::string HttpDateOfLocalStamp(const std::string& stamp);

// The local fetch-time stamp of this moment `days` days ago.
std::string LocalStampDaysAgo(int days);

// The request's header line for the refresh (with its CRLF), "" for none.
std::string ConditionalHeaderLine(const RefreshOf& refresh);

class GoneStreak {
 public:
  static constexpr int Limit = 20;

  // Holds the update that would withdraw an article. True, once, when the
  // streak has reached the limit: the refresh is paused and every held
  // update dropped.
  bool Hold(std::string updateSql);
  // A sound answer: the held updates, to be written now.
  std::vector<std::string> Release();
  bool Paused() const { return paused_; }

 private:
  std::vector<std::string> held_;
  bool paused_ = false;
};

}  // namespace velt
