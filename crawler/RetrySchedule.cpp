#include "crawler/RetrySchedule.h"

#include <algorithm>
#include <utility>

namespace velt {

std::chrono::seconds BackoffDelay(int retry) {
  auto delay = RetrySchedule::FirstBackoff;
  for (int i = 1; i < retry && delay < RetrySchedule::MaxBackoff; ++i) delay *= 2;
  return std::min(delay, RetrySchedule::MaxBackoff);
}

std::optional<std::string> RetrySchedule::Note(const FetchOutcome& outcome, bool siteFailing, Clock::time_point now) {
  if (outcome.result == FetchResult::Stored) return NoteStored(outcome.kbid, now);
  // A held answer wrote nothing: as a probe of the disk it proves nothing
  // and is fetched again like a failed write.
  const bool probedDisk = pause_ == Pause::StoreFull && outcome.kbid == probe_;
  if (outcome.result == FetchResult::Held && !probedDisk) return NoteHeld(outcome.kbid, now);
  return NoteMissed(outcome, siteFailing, now);
}

std::optional<std::string> RetrySchedule::NoteHeld(const std::string& kbid, Clock::time_point now) {
  numbers_.erase(kbid);  // under way, so not waiting
  if (pause_ == Pause::Outage) return EndPause(now);
  return std::nullopt;
}

std::optional<std::string> RetrySchedule::NoteStored(const std::string& kbid, Clock::time_point now) {
  numbers_.erase(kbid);
  if (pause_ == Pause::None) return std::nullopt;
  return EndPause(now);
}

std::string RetrySchedule::EndPause(Clock::time_point now) {
  const Pause ended = std::exchange(pause_, Pause::None);
  probe_.clear();
  // What waited only for the site or the disk goes at full pace again.
  for (auto& [number, entry] : numbers_) {
    if (entry.waiting) entry.due = std::min(entry.due, now);
  }
  return ended == Pause::Outage ? "SITE ANSWERS AGAIN" : "DATABASE WRITES AGAIN: THE CRAWL GOES ON";
}

std::optional<std::string> RetrySchedule::NoteMissed(const FetchOutcome& outcome, bool siteFailing,
                                                     Clock::time_point now) {
  std::optional<std::string> line;
  const bool asksSite = outcome.resCode == 429 || outcome.resCode == 503;
  if (asksSite && outcome.retryAfter && outcome.retryAfter->count() > 0) {
    if (now >= holdUntil_) line = "SITE ASKS TO WAIT:" + std::to_string(outcome.retryAfter->count()) + " SECONDS";
    holdUntil_ = std::max(holdUntil_, now + *outcome.retryAfter);
  }
  Entry& entry = numbers_[outcome.kbid];
  entry.url = outcome.url;
  entry.refresh = outcome.refresh;
  const bool probed = pause_ != Pause::None && outcome.kbid == probe_;
  if (probed) probe_.clear();
  // Any answer, "busy" included, says that the site is reachable: from now
  // on its Retry-After or the ordinary back-off sets the pace.
  const bool answered = outcome.result != FetchResult::Failed;
  if (answered && pause_ == Pause::Outage) line = EndPause(now);
  if (outcome.storeFull && pause_ != Pause::StoreFull) {
    pause_ = Pause::StoreFull;
    nextProbe_ = now + StoreFullProbe;
    line = "DATABASE FULL: THE CRAWL WAITS FOR SPACE ON THE DISK";
  }
  const bool stillProbing = probed && pause_ != Pause::None;
  if (stillProbing && pause_ == Pause::Outage) {
    probePause_ = std::min(probePause_ * 2, MaxBackoff);
    nextProbe_ = now + probePause_;
  } else if (stillProbing) {
    nextProbe_ = now + StoreFullProbe;
  } else if (entry.retries >= MaxRetries && !outcome.storeFull) {
    numbers_.erase(outcome.kbid);  // left claimed for the next start
    return line;
  }
  // A number that waits for a probe is due at once: the pause between probes paces it.
  const bool paced = stillProbing || pause_ == Pause::StoreFull;
  const auto pause = outcome.retryAfter ? *outcome.retryAfter
                     : paced            ? std::chrono::seconds(0)
                                        : BackoffDelay(entry.retries + 1);
  Wait(entry, now + pause);
  if (siteFailing && !answered && pause_ == Pause::None) {
    pause_ = Pause::Outage;
    probePause_ = FirstBackoff;
    nextProbe_ = now + FirstBackoff;
  }
  return line;
}

void RetrySchedule::Wait(Entry& entry, Clock::time_point due) {
  if (!entry.waiting) ++waiting_;
  entry.waiting = true;
  entry.due = due;
}

std::map<std::string, RetrySchedule::Entry>::iterator RetrySchedule::EarliestWaiting() {
  if (waiting_ == 0) return numbers_.end();
  auto earliest = numbers_.end();
  for (auto it = numbers_.begin(); it != numbers_.end(); ++it) {
    if (it->second.waiting && (earliest == numbers_.end() || it->second.due < earliest->second.due)) earliest = it;
  }
  return earliest;
}

RetrySchedule::Clock::time_point RetrySchedule::WakeTime(Clock::time_point now) const {
  auto wake = Clock::time_point::max();
  const auto consider = [&](Clock::time_point at) {
    if (at > now) wake = std::min(wake, at);
  };
  consider(holdUntil_);
  if (pause_ != Pause::None) consider(nextProbe_);
  for (const auto& [kbid, entry] : numbers_) {
    if (entry.waiting) consider(entry.due);
  }
  return wake;
}

RetrySchedule::Turn RetrySchedule::Next(Clock::time_point now, Retry& retry) {
  if (now < holdUntil_) return Turn::Wait;
  if (pause_ != Pause::None && (!probe_.empty() || now < nextProbe_)) return Turn::Wait;
  const auto earliest = EarliestWaiting();
  if (earliest == numbers_.end() || earliest->second.due > now) {
    if (pause_ == Pause::None) return Turn::NewNumber;
    // A new number's row could not be written either.
    if (earliest != numbers_.end() || pause_ == Pause::StoreFull) return Turn::Wait;
    // Nothing left to probe with: a new number probes, paced the same way.
    nextProbe_ = now + probePause_;
    probePause_ = std::min(probePause_ * 2, MaxBackoff);
    return Turn::NewNumber;
  }
  Entry& entry = earliest->second;
  entry.waiting = false;
  --waiting_;
  if (pause_ != Pause::None) {
    probe_ = earliest->first;
  } else {
    ++entry.retries;
  }
  retry = {earliest->first, entry.url, entry.refresh};
  return Turn::Retry;
}

}  // namespace velt
