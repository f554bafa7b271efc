#include "session/HeadlessCrawlerHost.h"

#include "session/RunLog.h"

namespace velt {

void HeadlessCrawlerHost::WriteLog(const std::string& text, int level) { log_.WriteLog(text, level); }

void HeadlessCrawlerHost::AddToThreadList(const std::string& url, const void* worker) {
  workers_.insert(worker);
  progress_.Claimed(url);
}

}  // namespace velt
