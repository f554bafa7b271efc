#include "crawler/DownloadThread.h"

#include <exception>

#include "crawler/PageAnalysis.h"
#include "crawler/RetryAfter.h"
#include "net/AnswerHead.h"
#include "net/FetchRequest.h"
#include "net/Http.h"
#include "platform/Error.h"
#include "platform/LocalTime.h"
#include "regex/VBScript_RegExp_55_TLB.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace velt {

TDownloadThread::TDownloadThread(CrawlerHost& host, const std::string& kbid, const std::string& url,
                                 const HttpTimeouts& timeouts, std::shared_ptr<FetchOutcomes> outcomes,
                                 std::shared_ptr<ControlsSnapshot> controls,
                                 std::shared_ptr<const ProxyRoutes> proxies, std::optional<RefreshOf> refresh)
    : host_(host),
      timeouts_(timeouts),
      outcomes_(std::move(outcomes)),
      controls_(std::move(controls)),
      proxies_(std::move(proxies)),
      refresh_(std::move(refresh)) {
  PageInfo.ResCode = 0;
  PageInfo.Kbid = kbid;
  PageInfo.Url = url;
  // Made before the line is added: a constructor that failed after it
  // would leave a line that no destructor ever removes.
  Buffer = std::make_unique<AnswerBuffer>();
  RegExp = std::make_unique<TRegExp>();
  // Construction runs on the main thread, so the line is there before the
  // dispatcher next counts the workers.
  Synchronize([this] { host_.AddToThreadList(PageInfo.Url, this); });
  SetFreeOnTerminate(true);
}

TDownloadThread::~TDownloadThread() {
  // The line goes first, so that the next worker need not wait while this
  // one hands its memory back.
  Synchronize([this] { ReportEnd(); });
  Buffer.reset();
  RegExp.reset();
}

void TDownloadThread::ReportEnd() {
  host_.ArticleEnded(PageInfo.ResCode, stored_);
  if (stored_ && refreshed_ != Refreshed::No) host_.ArticleRefreshed(refreshed_);
  host_.RemoveFromThreadList(this);
  if (controls_) controls_->LineRemoved();
}

bool TDownloadThread::ReceiveChunk(const char* bytes, int count) { return Buffer->Append(bytes, count); }

void TDownloadThread::Execute() {
  PageInfo.GetBegin = FormatLocalNow(TimeStampFormat);
  try {
    Fetch();
  } catch (const ProxyRefusal& e) {
    PageInfo.ResCode = 0;
    Tell(FetchResult::ProxyRefused, e.what());
    return;
  } catch (const std::exception& e) {
    PageInfo.ResCode = 0;  // as the row still holds it
    Tell(FetchResult::Failed, *e.what() ? e.what() : "unknown error");
    return;
  }
  if (IsTransientStatus(PageInfo.ResCode)) {
    Tell(FetchResult::Transient, "SITE ANSWERED " + std::to_string(PageInfo.ResCode));
    return;
  }
  PageInfo.GetEnd = FormatLocalNow(TimeStampFormat);
  if (refresh_) refreshed_ = RefreshedBy(refresh_->storedCode, PageInfo.ResCode);
  if (refreshed_ == Refreshed::Gone) {
    Tell(FetchResult::Held, "");  // written by the dispatcher, if at all
    return;
  }
  std::string error;
  if (!WriteRow(error)) {
    Tell(FetchResult::NotStored, error);
    return;
  }
  stored_ = true;
  Tell(FetchResult::Stored, "");
}

std::string TDownloadThread::RowUpdateSql() const {
  if (refreshed_ == Refreshed::Unchanged && PageInfo.ResCode == 304) {
    return BuildFetchTimesUpdateSql(PageInfo.GetBegin, PageInfo.GetEnd, PageInfo.Kbid);
  }
  return BuildRowUpdateSql(PageInfo.ResCode, PageInfo.Title, PageInfo.Description, PageInfo.Keywords,
                           PageInfo.KbParents, PageInfo.GetBegin, PageInfo.GetEnd, PageInfo.Kbid);
}

void TDownloadThread::Tell(FetchResult result, std::string error) {
  if (!outcomes_) return;
  const bool storeFull = result == FetchResult::NotStored && IsStoreFullError(error);
  FetchOutcome outcome{PageInfo.Kbid, PageInfo.Url, result, PageInfo.ResCode, std::nullopt,
                       std::move(error), storeFull, refresh_, refreshed_, ""};
  if (result == FetchResult::Held) outcome.heldUpdate = RowUpdateSql();
  if (result == FetchResult::Transient) {
    outcome.retryAfter = ParseRetryAfter(retryAfter_, std::chrono::system_clock::now());
  }
  outcomes_->Add(std::move(outcome));
}

void TDownloadThread::Fetch() {
  FetchTarget target;
  if (!SplitFetchUrl(PageInfo.Url, target)) return;
  ProxyChain* chain = proxies_ ? proxies_->desktop.get() : nullptr;
  for (;;) {
    const ProxyChain::Pick pick = chain ? chain->Current() : ProxyChain::Pick{};
    try {
      FetchThrough(target, chain ? pick.Proxy() : proxies_ ? proxies_->For(target) : nullptr);
      return;
    } catch (const ProxyUnreachable& error) {
      // Nothing was sent: the next of the desktop's proxies may serve.
      if (!chain || !chain->MoveOn(pick, error.what())) throw;
    }
  }
}

void TDownloadThread::FetchThrough(const FetchTarget& target, const ProxyServer* proxy) {
  HttpRequest(
      target, FetchRequest(target, proxy, refresh_ ? ConditionalHeaderLine(*refresh_) : ""),
      [this](const char* bytes, int count) { return ReceiveChunk(bytes, count); }, timeouts_, proxy);
  std::string answer = Buffer->Take();
  if (!Buffer->StoppedEarly() && IsCutShort(answer)) throw Error(kAnswerCutText);
  retryAfter_ = HeaderValue(answer, "Retry-After").value_or("");
  AnalyseResponse(*RegExp, std::move(answer), PageInfo);
}

bool TDownloadThread::WriteRow(std::string& error) {
  const std::string sql = RowUpdateSql();
  CriticalSectionGuard hold(DatabaseLock);
  if (!Database) {
    error = "THE DATABASE IS CLOSED";
    return false;
  }
  return Database->ExecSQL(sql, error);
}

}  // namespace velt
