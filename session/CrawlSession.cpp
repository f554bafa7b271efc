#include "session/CrawlSession.h"

#include <exception>

#include "session/FileSite.h"
#include "session/IndexDatabase.h"
#include "session/RunLog.h"
#include "session/Shutdown.h"
#include "session/StartupSequence.h"
#include "crawler/ThreadCreator.h"
#include "net/ProxyChoice.h"
#include "store/DatabaseIO.h"

namespace velt {

CrawlSession::CrawlSession(CrawlerHost& host, RunLog& log) : host_(host), log_(log) {}

CrawlSession::~CrawlSession() = default;

bool CrawlSession::Open(const std::string& databasePath) {
  databasePath_ = databasePath;
  return OpenIndexDatabase(databasePath, log_);
}

bool CrawlSession::SiteBelongs(const std::string& articleBaseUrl) {
  std::string storedUrl;
  std::string error;
  if (!ReadFileSiteUrl(*Database, storedUrl, error)) {
    log_.WriteLog(error, 1);
    log_.FatalStop();
    return false;
  }
  const FileSiteVerdict verdict = JudgeFileSite(storedUrl, articleBaseUrl, databasePath_);
  if (verdict.kind == FileSiteVerdict::Kind::Other) {
    refused_ = true;
    log_.Refuse(verdict.text);
    return false;
  }
  if (verdict.kind == FileSiteVerdict::Kind::Moved) log_.WriteLog(verdict.text, 0);
  return true;
}

bool CrawlSession::Start(const std::string& articleBaseUrl, const std::function<bool()>& keepAlive,
                         std::shared_ptr<const ProxyRoutes> proxies, double maxRate) {
  if (started_) return ThreadCreator != nullptr;
  started_ = true;
  if (!RunIndexStartup(log_, keepAlive) || !SiteBelongs(articleBaseUrl)) return false;
  // Crawling past a proxy the user meant to use would go direct unnoticed.
  if (const std::string why = proxies ? proxies->Refusal(articleBaseUrl) : ""; !why.empty()) {
    log_.WriteLog(why, 1);
    log_.ProxyRefused(why);
    return false;
  }
  try {
    // The desktop's answer is the dispatcher's to ask for and to log.
    if (proxies && !proxies->desktop) {
      const std::string routes = proxies->Description();
      log_.WriteLog(routes.empty() ? "NO PROXY" : "PROXY FROM " + proxies->origin + ": " + routes, 0);
    }
    ThreadCreator = std::make_unique<TThreadCreator>(host_, articleBaseUrl, std::move(proxies), maxRate);
    ThreadCreator->Start();
    log_.WriteLog("THREAD CREATOR CREATED", 0);
    return true;
  } catch (const std::exception& e) {  // the system refused the thread
    ThreadCreator.reset();
    log_.WriteLog(e.what(), 1);
    log_.FatalStop();
    return false;
  }
}

bool CrawlSession::Shutdown(std::string& error) {
  if (ThreadCreator) {
    StopAndAwait(*ThreadCreator);  // no worker starts after this
    ThreadCreator.reset();
  }
  AwaitEmptyWorkerList(host_);
  return CloseIndexDatabase(error);
}

}  // namespace velt
