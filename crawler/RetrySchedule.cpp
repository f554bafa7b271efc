#include "crawler/RetrySchedule.h"

#include <algorithm>

namespace velt {

bool IsTransientStatus(int resCode) {
  return resCode == 408 || resCode == 429 || resCode == 502 || resCode == 503 || resCode == 504;
}

std::chrono::seconds BackoffDelay(int retry) {
  auto delay = RetrySchedule::FirstBackoff;
  for (int i = 1; i < retry && delay < RetrySchedule::MaxBackoff; ++i) delay *= 2;
  return std::min(delay, RetrySchedule::MaxBackoff);
}

std::optional<std::string> RetrySchedule::Note(const FetchOutcome& outcome, bool siteFailing, Clock::time_point now) {
  if (outcome.result == FetchResult::Stored) return NoteStored(outcome.kbid, now);
  return NoteMissed(outcome, siteFailing, now);
}

std::optional<std::string> RetrySchedule::NoteStored(const std::string& kbid, Clock::time_point now) {
  numbers_.erase(kbid);
  if (!outage_) return std::nullopt;
  outage_ = false;
  probe_.clear();
  // What waited only for the site goes at full pace again.
  for (auto& [number, entry] : numbers_) {
    if (entry.waiting) entry.due = std::min(entry.due, now);
  }
  return "SITE ANSWERS AGAIN";
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
  const bool probed = outage_ && outcome.kbid == probe_;
  if (probed) {
    probe_.clear();
    probePause_ = std::min(probePause_ * 2, MaxBackoff);
    nextProbe_ = now + probePause_;
  } else if (entry.retries >= MaxRetries) {
    numbers_.erase(outcome.kbid);  // left claimed for the next start
    return line;
  }
  // A failed probe's number is due at once: the pause between probes paces it.
  const auto pause = outcome.retryAfter ? *outcome.retryAfter
                     : probed           ? std::chrono::seconds(0)
                                        : BackoffDelay(entry.retries + 1);
  Wait(entry, now + pause);
  if (siteFailing && !outage_) {
    outage_ = true;
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

RetrySchedule::Turn RetrySchedule::Next(Clock::time_point now, Retry& retry) {
  if (now < holdUntil_) return Turn::Wait;
  if (outage_ && (!probe_.empty() || now < nextProbe_)) return Turn::Wait;
  const auto earliest = EarliestWaiting();
  if (earliest == numbers_.end() || earliest->second.due > now) {
    if (!outage_) return Turn::NewNumber;
    if (earliest != numbers_.end()) return Turn::Wait;
    // Nothing left to probe with: a new number probes, paced the same way.
    nextProbe_ = now + probePause_;
    probePause_ = std::min(probePause_ * 2, MaxBackoff);
    return Turn::NewNumber;
  }
  Entry& entry = earliest->second;
  entry.waiting = false;
  --waiting_;
  if (outage_) {
    probe_ = earliest->first;
  } else {
    ++entry.retries;
  }
  retry = {earliest->first, entry.url, entry.refresh};
  return Turn::Retry;
}

}  // namespace velt
