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
// An outage (the caller's failure watch sees its run of failures that
// brought no answer) is waited out: no new number is claimed, and one
// waiting number at a time probes the site, the pause between probes
// doubling like the back-off. A failed probe costs its number none of its
// retries: the site failed, not the article. The first answer, a busy one
// included, ends the outage: Note offers one line, and every waiting
// number is due at once, unless the site's Retry-After holds them.
//
// A row that could not be written because the file's disk is full pauses
// the crawl the same way: no new number, one waiting number at a time
// fetched again every StoreFullProbe, none of them giving up, until a row
// is stored again. Note offers a line as the pause begins and as it ends.
//
// A refresh's gone answer that the dispatcher holds (FetchResult::Held)
// is an answer that wrote nothing: it ends an outage and its number's
// retries, but not a full disk's pause, whose probe it cannot be.
//
// A plain value with the clock handed in; the dispatcher's thread alone
// uses it.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "crawler/FetchOutcome.h"

namespace velt {

// The pause before retry number `retry` (1 for the first).
std::chrono::seconds BackoffDelay(int retry);

class RetrySchedule {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int MaxRetries = 5;
  static constexpr std::chrono::seconds FirstBackoff{2};
  static constexpr std::chrono::seconds MaxBackoff{std::chrono::minutes(5)};
  static constexpr std::chrono::seconds StoreFullProbe{5};

  enum class Turn { NewNumber, Retry, Wait };
  struct Retry {
    std::string kbid;
    std::string url;
    std::optional<RefreshOf> refresh;
  };

  // `siteFailing`: the failure watch, with this outcome counted, sees its
  // run of fetches that brought no answer. Returns the line to log at level 0, if one is due.
  std::optional<std::string> Note(const FetchOutcome& outcome, bool siteFailing, Clock::time_point now);
  // What the dispatcher may start now; for Retry `retry` names the number,
  // which is then under way.
  Turn Next(Clock::time_point now, Retry& retry);
  // Numbers waiting for their retry.
  int Waiting() const { return waiting_; }
  // Whether the crawl waits for space on the file's disk.
  bool StoreFull() const { return pause_ == Pause::StoreFull; }
  // The first time after `now` at which Next may answer otherwise than
  // now (a retry falls due, a pause or probe interval ends), or
  // Clock::time_point::max() when only a fetch's end can change it.
  Clock::time_point WakeTime(Clock::time_point now) const;

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
  std::optional<std::string> NoteHeld(const std::string& kbid, Clock::time_point now);
  std::string EndPause(Clock::time_point now);
  std::map<std::string, Entry>::iterator EarliestWaiting();
  void Wait(Entry& entry, Clock::time_point due);

  std::map<std::string, Entry> numbers_;  // each waiting or under way again
  int waiting_ = 0;
  Clock::time_point holdUntil_{};
  enum class Pause { None, Outage, StoreFull };
  Pause pause_ = Pause::None;
  std::string probe_;  // the number probing the site or the disk, while under way
  std::chrono::seconds probePause_{0};
  Clock::time_point nextProbe_{};
};

}  // namespace velt
