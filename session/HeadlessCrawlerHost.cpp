#include "session/HeadlessCrawlerHost.h"

#include <charconv>

#include "session/RunLog.h"

namespace velt {

void HeadlessCrawlerHost::WriteLog(const std::string& text, int level) { log_.WriteLog(text, level); }

void HeadlessCrawlerHost::AddToThreadList(const std::string& url, const void* worker) {
  workers_.insert(worker);
  // The URL ends with the six digits of the article number.
  int number = 0;
  if (url.size() >= 6 &&
      std::from_chars(url.data() + url.size() - 6, url.data() + url.size(), number).ec == std::errc()) {
    progress_.Claimed(number);
  }
}

}  // namespace velt
