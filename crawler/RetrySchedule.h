// When the crawl fetches again an article whose fetch brought no result:
// a fetch that failed (refused, reset, timed out, cut short) or an answer
// that only says the site is busy (IsTransientStatus). Such a row stays
// claimed; this schedule decides when its number is fetched again in the
// same run, and whether a new number may be claimed meanwhile.
//
// Each such number is fetched again after the answer's Retry-After, or
// else after a back-off (BackoffDelay) that doubles with each of its
// failures; after MaxRetries retries it is left claimed for the next start.
// A retry that is due goes before any new number (Next). A 429 or 503
// answer with a Retry-After holds back every start of the site until then;
// Note then offers one log line for the pause.
//
// An outage (the caller's failure watch sees its run of failures) is
// waited out: no new number is claimed, and one waiting number at a time
// probes the site, the pause between probes doubling like the back-off. A
// failed probe costs its number none of its retries: the site failed, not
// the article. The first stored answer ends the outage: Note offers one
// line, and every waiting number is due at once.
//
// A plain value with the clock handed in; the dispatcher's thread alone
// uses it.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "crawler/RefreshFetch.h"

namespace velt {

// 408, 429, 502, 503 and 504: the site may answer otherwise soon.
bool IsTransientStatus(int resCode);

enum class FetchResult { Stored, Transient, Failed };

// What one worker's fetch came to, as it reports it to the dispatcher.
struct FetchOutcome {
  std::string kbid;
  std::string url;
  FetchResult result = FetchResult::Stored;
  int resCode = 0;  // the status of a transient answer
  std::optional<std::chrono::seconds> retryAfter;  // what a transient answer asked for
  std::string error;  // why there was no result; empty when stored
  std::optional<RefreshOf> refresh;  // a stored row fetched again, retried as such
  Refreshed refreshed = Refreshed::No;
  std::string heldUpdate;  // Gone: the update not yet written (RefreshFetch.h)
};

// The pause before retry number `retry` (1 for the first).
std::chrono::seconds BackoffDelay(int retry);

class RetrySchedule {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int MaxRetries = 5;
  static constexpr std::chrono::seconds FirstBackoff{2};
  static constexpr std::chrono::seconds MaxBackoff{std::chrono::minutes(5)};

  enum class Turn { NewNumber, Retry, Wait };
  struct Retry {
    std::string kbid;
    std::string url;
    std::optional<RefreshOf> refresh;
  };

  // `siteFailing`: the failure watch, with this outcome counted, sees its
  // run of failures. Returns the line to log at level 0, if one is due.
  std::optional<std::string> Note(const FetchOutcome& outcome, bool siteFailing, Clock::time_point now);
  // What the dispatcher may start now; for Retry `retry` names the number,
  // which is then under way.
  Turn Next(Clock::time_point now, Retry& retry);
  // Numbers waiting for their retry.
  int Waiting() const { return waiting_; }

 private:
  struct Entry {
    std::string url;
    std::optional<RefreshOf> refresh;
    int retries = 0;  // started so far
    bool waiting = false;
    Clock::time_point due;
  };

  std::optional<std::string> NoteMissed(const FetchOutcome& outcome, bool siteFailing, Clock::time_point now);
  std::optional<std::string> NoteStored(const std::string& kbid, Clock::time_point now);
  std::map<std::string, Entry>::iterator EarliestWaiting();
  void Wait(Entry& entry, Clock::time_point due);

  std::map<std::string, Entry> numbers_;  // each waiting or under way again
  int waiting_ = 0;
  Clock::time_point holdUntil_{};
  bool outage_ = false;
  std::string probe_;  // the number probing the site, while under way
  std::chrono::seconds probePause_{0};
  Clock::time_point nextProbe_{};
};

}  // namespace velt
