// Makes a crawl whose fetches keep failing visible: a site that is down or
// refuses every connection would otherwise leave the log silent while
// number after number is claimed.
//
// Every fetch's end is noted here. Once FailuresInARow fetches in a row
// have failed, each further failure offers a line with the last error
// text; an identical line passes at most once a minute
// (RepeatedLineFilter). A fetch that brought an answer resets the count.
//
// The dispatcher's own, fed with the outcomes its workers report; used on
// its thread alone.
#pragma once

#include <optional>
#include <string>

#include "crawler/FailurePacing.h"

namespace velt {

class FetchFailureWatch {
 public:
  static constexpr int FailuresInARow = 10;

  // `fetchError` is empty for a fetch that brought an answer to store; a
  // transient answer (`answered`) counts as a failure. Returns the line to
  // log at level 1, if one is due.
  std::optional<std::string> Note(const std::string& fetchError, bool answered,
                                  RepeatedLineFilter::Clock::time_point now);
  // Whether the last FailuresInARow fetches or more all brought no answer
  // at all: a site that answers, if only "busy", is reachable.
  bool Unreachable() const { return unansweredInARow_ >= FailuresInARow; }

 private:
  int inARow_ = 0;
  int unansweredInARow_ = 0;
  RepeatedLineFilter lines_;
};

}  // namespace velt
