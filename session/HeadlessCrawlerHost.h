// The crawler's host in a run without a window.
//
// The worker count, the retry of 302 rows and the refresh are fixed for the run (the
// command line's); the worker list is a set of the running workers; log
// lines go to the run's log; each claim, each ended worker and the waiting
// retries count in the run's progress. A halted crawl (a proxy refused
// the user) ends the run, failed. Every call comes on the main thread.
#pragma once

#include <set>

#include "session/CrawlProgress.h"
#include "crawler/CrawlerHost.h"

namespace velt {

class RunLog;

class HeadlessCrawlerHost : public CrawlerHost {
 public:
  HeadlessCrawlerHost(int maxThreads, bool retry302, int refreshDays, RunLog& log, CrawlProgress& progress)
      : maxThreads_(maxThreads), retry302_(retry302), refreshDays_(refreshDays), log_(log), progress_(progress) {}

  int MaxThreads() const override { return maxThreads_; }
  int ThreadCount() const override { return static_cast<int>(workers_.size()); }
  bool Retry302() const override { return retry302_; }
  void WriteLog(const std::string& text, int level) override;
  void AddToThreadList(const std::string& url, const void* worker) override;
  void RemoveFromThreadList(const void* worker) override { workers_.erase(worker); }
  void ArticleEnded(int resCode, bool stored) override { progress_.Ended(resCode, stored); }
  void RetriesPending(int count) override { progress_.RetriesPending(count); }
  int RefreshDays() const override { return refreshDays_; }
  void ArticleRefreshed(Refreshed result) override { progress_.Refreshed(result); }
  void CrawlHalted(const std::string&) override { halted_ = true; }
  bool Halted() const { return halted_; }

 private:
  const int maxThreads_;
  const bool retry302_;
  const int refreshDays_;
  RunLog& log_;
  CrawlProgress& progress_;
  std::set<const void*> workers_;
  bool halted_ = false;
};

}  // namespace velt
