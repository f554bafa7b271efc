// What the crawler needs of its host: the main window, or the headless
// run that stands in for it.
//
// The host implements this interface; the crawler never sees a widget.
// Every call is made on the main thread: the dispatcher and the workers
// reach it only through Thread::Synchronize (platform/Thread.h).
#pragma once

#include <functional>
#include <string>

#include "crawler/RefreshFetch.h"

namespace velt {

class CrawlerHost {
 public:
  virtual ~CrawlerHost() = default;

  // The user's maximum number of running downloads (0 to 30).
  virtual int MaxThreads() const = 0;
  // The number of lines in the worker list, that is of running workers.
  virtual int ThreadCount() const = 0;
  // Whether rows last answered with 302 are fetched again.
  virtual bool Retry302() const = 0;
  // From now on the host calls `changed` whenever the user changes what
  // MaxThreads, Retry302 or RefreshDays return, so that an idle dispatcher need not ask
  // again and again. The latest call replaces an earlier one. A host whose
  // controls never change ignores it.
  virtual void WatchControls(std::function<void()> changed) { (void)changed; }
  // Appends a line to the message log (level 0 information, 1 error).
  virtual void WriteLog(const std::string& text, int level) = 0;
  // Adds the worker's line (its URL) to the worker list.
  virtual void AddToThreadList(const std::string& url, const void* worker) = 0;
  // Removes the line whose attached object is the worker.
  virtual void RemoveFromThreadList(const void* worker) = 0;
  // A worker is ending, right before its line goes: whether its row was
  // stored, and the answer's status (0 when the fetch failed or the answer
  // had no status). A transient answer is not stored. The window shows
  // nothing of it.
  virtual void ArticleEnded(int resCode, bool stored) {
    (void)resCode;
    (void)stored;
  }
  // The number of articles waiting to be fetched again in this run has
  // changed. The window shows nothing of it.
  virtual void RetriesPending(int count) { (void)count; }
  // Days since a stored row's last fetch after which it is fetched again
  // (0: every row fetched before this run); negative while refresh is off.
  virtual int RefreshDays() const { return -1; }
  // A stored article fetched again was found unchanged or changed, or
  // withdrawn from the search (RefreshFetch.h).
  virtual void ArticleRefreshed(Refreshed result) { (void)result; }
  // The disk of the database file is full, and the crawl waits for space
  // (true), or has written a row again (false). The log has its line; the
  // window also shows a message that the user cannot miss.
  virtual void StoreFullChanged(bool full) { (void)full; }
  // The crawl starts no further fetch in this run, as waiting cannot mend
  // why (a proxy refused the user); `why` is the line already logged. The
  // window keeps running; a headless run ends, failed.
  virtual void CrawlHalted(const std::string& why) { (void)why; }
};

}  // namespace velt
