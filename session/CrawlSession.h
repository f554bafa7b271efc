// The crawl's life from the opening of the database to its closing, the
// same in the window and in a headless run.
//
// Open opens the index database on the path (the file is made when it is
// missing) and logs "CONNECTED:" with the path, or the error followed by
// the fatal notice. Start runs the index upkeep, refuses a site whose host
// is not the file's (FileSite.h: the log's Refuse, and Refused answers
// true; a moved site is logged), then starts the
// dispatcher on the host with the run's article base URL and proxy routes,
// logs where the proxies came from and which serves which scheme ("NO
// PROXY" when none does; nothing without routes, and the dispatcher's line
// when the desktop decides) and "THREAD CREATOR CREATED"; any failure is
// logged and followed by the fatal notice, and then no dispatcher runs.
// Routes that refuse the site's scheme (an unusable proxy in the
// environment) start no dispatcher either: the refusal is logged and
// reported to the log's ProxyRefused. Only the first Start does anything.
// Shutdown stops the dispatcher and waits for it, waits until the host
// counts no running worker, then compacts and closes the database; it logs
// nothing. The waits keep serving the threads' main-thread steps.
//
// Main thread only. One session at a time: from Open to Shutdown it owns
// the process-wide `Database`. The host and the log must outlive it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velt {

class CrawlerHost;
struct ProxyRoutes;
class RunLog;
class TThreadCreator;

class CrawlSession {
 public:
  CrawlSession(CrawlerHost& host, RunLog& log);
  ~CrawlSession();
  CrawlSession(const CrawlSession&) = delete;
  CrawlSession& operator=(const CrawlSession&) = delete;

  // Returns whether the file is open.
  bool Open(const std::string& databasePath);
  // Returns whether the dispatcher runs. `keepAlive` serves a long upkeep
  // step as in RunIndexStartup (StartupSequence.h); `maxRate` caps the
  // dispatcher's fetch starts per second (0: no cap).
  bool Start(const std::string& articleBaseUrl, const std::function<bool()>& keepAlive,
             std::shared_ptr<const ProxyRoutes> proxies = nullptr, double maxRate = 0);
  // Returns whether the database had been open and was compacted and
  // closed cleanly; otherwise `error` says why not.
  bool Shutdown(std::string& error);
  // Whether Start refused the site, as the file holds another's articles.
  bool Refused() const { return refused_; }

 private:
  CrawlerHost& host_;
  RunLog& log_;
  std::unique_ptr<TThreadCreator> ThreadCreator;  // the dispatcher, once started
  bool SiteBelongs(const std::string& articleBaseUrl);

  std::string databasePath_;
  bool started_ = false;
  bool refused_ = false;
};

}  // namespace velt
