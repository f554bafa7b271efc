// Makes a crawl whose fetches keep failing visible: a site that is down or
// refuses every connection would otherwise leave the log silent while
// number after number is claimed.
//
// Every worker reports its end here. Once FailuresInARow fetches in a row
// have failed, each further failure offers a line with the last error
// text; an identical line passes at most once a minute
// (RepeatedLineFilter). A fetch that brought an answer resets the count.
//
// Shared by the dispatcher and the workers it starts; used on the main
// thread only (the workers report from their main-thread steps).
#pragma once

#include <optional>
#include <string>

#include "crawler/FailurePacing.h"

namespace velt {

class FetchFailureWatch {
 public:
  static constexpr int FailuresInARow = 10;

  // `fetchError` is empty for a fetch that brought an answer. Returns the
  // line to log at level 1, if one is due.
  std::optional<std::string> Note(const std::string& fetchError, RepeatedLineFilter::Clock::time_point now);

 private:
  int inARow_ = 0;
  RepeatedLineFilter lines_;
};

}  // namespace velt
