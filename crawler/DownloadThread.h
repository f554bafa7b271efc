// One download worker: fetches one article, analyses it and writes its row.
//
// Constructed on the main thread by the dispatcher's claim, right before it
// is started; construction adds the worker's line (its URL) to the window's
// worker list through the host. Once started the object belongs to itself:
// it never looks at a stop request, runs to its end, frees itself on its
// own thread, and its destructor removes the line through a main-thread
// step after the row has been written. Nobody may touch it after Start.
//
// The row is written with one UPDATE under DatabaseLock, whatever the
// answer was, except for a transient one (IsTransientStatus: the site is
// busy, not the article absent); an error raised by the fetch or the
// analysis ends the run without an update too. Either way the row stays
// as claimed (RESCODE 0), for the dispatcher to fetch again in this run or
// for the next start. A fetch cut short by its time limits raises, and an
// answer that closed before its Content-Length counts as such a failure,
// so a cut page is never stored as final. The article counts as stored
// only once its UPDATE has committed; a failed one is told with its error
// (FetchResult::NotStored) and leaves the row claimed. A refresh
// (RefreshFetch.h) works on a row that was not claimed: a transient answer
// or a failure leaves it as it was, 304 writes only the fetch times, and a
// gone answer that differs from the row's is not written but handed to the
// dispatcher (FetchResult::Held), which holds it. The worker logs nothing
// itself: how its fetch ended goes to the dispatcher's FetchOutcomes, and to
// the host's ArticleEnded. Through the desktop's proxies (ProxyChain.h) a
// proxy that cannot be reached gives way to the next before the fetch fails.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "crawler/AnswerBuffer.h"
#include "crawler/ControlsSnapshot.h"
#include "crawler/CrawlerHost.h"
#include "crawler/FetchOutcomes.h"
#include "crawler/PageInfo.h"
#include "crawler/RefreshFetch.h"
#include "net/Http.h"
#include "net/ProxyChoice.h"
#include "platform/Thread.h"

namespace velt {

class TRegExp;

inline constexpr char TimeStampFormat[] = "%Y%m%d%H%M%S";  // strftime form of "yyyymmddhhnnss"
inline constexpr char kAnswerCutText[] = "ANSWER ENDED BEFORE ITS CONTENT-LENGTH";

class TDownloadThread : public Thread {
 public:
  // The program always uses the client's standard time limits; tests of
  // hostile servers pass shorter ones. Without `outcomes` nobody hears how
  // the fetch ended; the dispatcher's offer of controls, if given, hears of
  // the line going. Without proxy routes every fetch goes direct.
  TDownloadThread(CrawlerHost& host, const std::string& kbid, const std::string& url,
                  const HttpTimeouts& timeouts = {}, std::shared_ptr<FetchOutcomes> outcomes = nullptr,
                  std::shared_ptr<ControlsSnapshot> controls = nullptr,
                  std::shared_ptr<const ProxyRoutes> proxies = nullptr,
                  std::optional<RefreshOf> refresh = std::nullopt);
  ~TDownloadThread() override;

 protected:
  void Execute() override;

 private:
  bool ReceiveChunk(const char* bytes, int count);
  void Fetch();
  void FetchThrough(const FetchTarget& target, const ProxyServer* proxy);
  bool WriteRow(std::string& error);
  // The statement that stores the answer: the whole row, or for 304 only
  // the fetch times.
  std::string RowUpdateSql() const;
  void Tell(FetchResult result, std::string error);
  void ReportEnd();  // main thread

  CrawlerHost& host_;
  HttpTimeouts timeouts_;
  std::shared_ptr<FetchOutcomes> outcomes_;
  std::shared_ptr<ControlsSnapshot> controls_;
  std::shared_ptr<const ProxyRoutes> proxies_;
  std::string retryAfter_;  // the answer's Retry-After field, if it had one
  bool stored_ = false;
  std::optional<RefreshOf> refresh_;
  Refreshed refreshed_ = Refreshed::No;
  std::unique_ptr<AnswerBuffer> Buffer;
  std::unique_ptr<TRegExp> RegExp;
  TPageInfo PageInfo;
};

}  // namespace velt
