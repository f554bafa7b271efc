// What one worker's fetch came to, as it tells the dispatcher: the answer
// stored, a busy answer, a fetch that brought no answer, an answer whose
// row could not be written, a refresh's answer left for the dispatcher to
// write, or a proxy that refused the fetch. Plain values; any thread.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "crawler/RefreshFetch.h"

namespace velt {

// 408, 429, 502, 503 and 504: the site may answer otherwise soon.
bool IsTransientStatus(int resCode);

enum class FetchResult {
  Stored,        // the row's UPDATE committed
  Transient,     // the site answered, busy (IsTransientStatus)
  Failed,        // no answer: refused, reset, timed out, cut short
  NotStored,     // an answer came, but writing its row failed
  Held,          // a refresh's gone answer, not written yet (RefreshFetch.h)
  ProxyRefused,  // the proxy refused the user: waiting will not heal it
};

struct FetchOutcome {
  std::string kbid;
  std::string url;
  FetchResult result = FetchResult::Stored;
  int resCode = 0;  // the status of a transient answer
  std::optional<std::chrono::seconds> retryAfter;  // what a transient answer asked for
  std::string error;  // why there was no result; empty when stored
  bool storeFull = false;  // NotStored because the file's disk is full
  std::optional<RefreshOf> refresh;  // a stored row fetched again, retried as such
  Refreshed refreshed = Refreshed::No;
  std::string heldUpdate;  // Gone: the update not yet written (RefreshFetch.h)
};

}  // namespace velt
