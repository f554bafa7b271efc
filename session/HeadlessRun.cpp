#include "session/HeadlessRun.h"

#include <algorithm>
#include <cstdio>

#include "session/CommandLine.h"
#include "session/CrawlSession.h"
#include "session/HeadlessCrawlerHost.h"
#include "session/HeadlessLog.h"
#include "crawler/ThreadCreator.h"
#include "platform/MainThread.h"
#include "platform/StopSignals.h"

namespace velt {
namespace {

using Clock = CrawlProgress::Clock;

std::string MaxRateText(double maxRate) {
  if (maxRate <= 0) return "";
  char text[64];
  std::snprintf(text, sizeof text, ", AT MOST %g FETCHES/S", maxRate);
  return text;
}

std::string RefreshText(int refreshDays) {
  if (refreshDays < 0) return "";
  return ", REFRESHING ARTICLES FETCHED " +
         (refreshDays == 0 ? std::string("BEFORE THIS RUN") : "OVER " + std::to_string(refreshDays) + " DAYS AGO");
}

// Serves the crawl's main-thread steps until a stop signal, the end of
// the run's time or a halted crawl, writing a progress line every interval.
void ServeUntilStopped(const CommandLine& line, const HeadlessCrawlerHost& host, CrawlProgress& progress,
                       RunLog& log) {
  constexpr std::chrono::milliseconds signalPoll{100};
  const Clock::time_point end =
      line.forSeconds > 0 ? Clock::now() + std::chrono::seconds(line.forSeconds) : Clock::time_point::max();
  Clock::time_point nextProgress = Clock::now() + ProgressInterval;
  while (!StopSignalReceived() && !host.Halted()) {
    const Clock::time_point now = Clock::now();
    if (now >= end) break;
    if (now >= nextProgress) {
      log.WriteLog(progress.Line(now), 0);
      nextProgress += ProgressInterval;
    }
    if (ServeMainThreadSteps()) continue;
    const auto untilNext = std::min({end, nextProgress, now + signalPoll}) - now;
    WaitForMainThreadWork(std::chrono::ceil<std::chrono::milliseconds>(untilNext));
  }
}

}  // namespace

int RunHeadless(const CommandLine& line, const std::string& databasePath,
                std::shared_ptr<const ProxyRoutes> proxies) {
  CatchStopSignals();
  HeadlessLog log;
  CrawlProgress progress(Clock::now());
  HeadlessCrawlerHost host(line.threads, line.retry302, line.refreshDays, log, progress);
  const std::string& site = line.site;
  log.WriteLog("HEADLESS CRAWL OF " + site + " WITH " + std::to_string(line.threads) + " THREADS" +
                   (line.retry302 ? ", RETRYING 302" : "") + MaxRateText(line.maxRate) + RefreshText(line.refreshDays),
               0);

  CrawlSession session(host, log);
  const bool opened = session.Open(databasePath);
  // A stop signal during a long start-up indexing gives it up (the next
  // start does it again) and ends the run as a stop during the crawl does.
  const bool started =
      opened && session.Start(site, [] { return !StopSignalReceived(); }, std::move(proxies), line.maxRate);
  const bool stoppedBeforeTheCrawl = opened && !started && StopSignalReceived();
  if (started) {
    ServeUntilStopped(line, host, progress, log);
    log.WriteLog("STOPPING: WAITING FOR " + std::to_string(host.ThreadCount()) + " RUNNING WORKERS", 0);
  }
  std::string error;
  const bool closed = session.Shutdown(error);
  if (opened) log.WriteLog(closed ? "DATABASE COMPACTED AND CLOSED" : error, closed ? 0 : 1);
  log.WriteLog(progress.Line(Clock::now()), 0);
  if (session.Refused()) return 2;
  return (started || stoppedBeforeTheCrawl) && closed && !host.Halted() ? 0 : 1;
}

}  // namespace velt
