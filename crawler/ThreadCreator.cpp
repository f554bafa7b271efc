#include "crawler/ThreadCreator.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "crawler/DownloadThread.h"
#include "net/FetchTarget.h"
#include "platform/MainThread.h"
#include "platform/PreciseSleep.h"
#include "store/IndexTable.h"

namespace velt {

const char ArticleBaseUrl[] = "http://" VELTINDEXER_KB_HOST "/default.aspx?scid=kb;ja;";
static_assert(sizeof(ArticleBaseUrl) - 1 <= kMaxSiteBaseUrlLength, "the article base URL must fit the URL column");

TThreadCreator::TThreadCreator(CrawlerHost& host, std::string articleBaseUrl)
    : host_(host),
      articleBaseUrl_(std::move(articleBaseUrl)),
      minUnfetched_(SqlMinUnfetchedKbid),
      minRedirected_(SqlMinRedirectedKbid),
      maxKbid_(SqlMaxKbid) {}

void TThreadCreator::Execute() {
  try {
    for (;;) {
      Synchronize([this] { ReadControls(); });
      bool failed = ClaimFailed();
      // Seen only here, after the hand-off, so that a stop request made by
      // the previous claim's step starts nothing more.
      if (Terminated()) break;
      failed |= RunPass();
      PauseAfterPass(failed);
    }
  } catch (const std::exception& e) {
    // The run ends here; the user would otherwise never learn why no
    // further worker starts. The hand-off also waits out a claim still
    // queued, which uses this object.
    Message = e.what();
    MessageLevel = 1;
    Synchronize([this] { LogMessage(); });
    throw;
  }
}

bool TThreadCreator::RunPass() {
  if (ThreadCount >= MaxThreads) return false;
  bool failed = false;
  NextKbid = -1;
  failed |= !QueryStep(minUnfetched_, -1, 0);
  if (NextKbid < 0 && Retry302) failed |= !QueryStep(minRedirected_, -1, 0);
  if (NextKbid < 0) failed |= !QueryStep(maxKbid_, KbidFloor, 1);
  if (NextKbid > KbidFloor && NextKbid < KbidLimit) {
    PostToMainThread([this] { ClaimAndStart(); });
    claimHandedOver_ = true;
  }
  return failed;
}

bool TThreadCreator::ClaimFailed() {
  if (!std::exchange(claimHandedOver_, false)) return false;
  if (claimError_) std::rethrow_exception(std::exchange(claimError_, nullptr));
  if (Claimed) return false;
  LogError();
  return true;
}

bool TThreadCreator::QueryStep(PreparedSql& statement, std::int32_t defaultValue, std::int32_t addend) {
  bool ok = false;
  {
    CriticalSectionGuard hold(DatabaseLock);
    Recordset rs;
    std::string error;
    ok = Database->OpenQuery(statement, rs, error);
    if (ok) {
      const Variant value = NullTo(Database->FieldByName(rs, "KBID"), Variant(defaultValue));
      NextKbid = static_cast<std::int32_t>(value.AsInteger()) + addend;
      Database->CloseQuery(rs);
    } else {
      Message = error;
    }
  }
  if (!ok) LogError();
  return ok;
}

void TThreadCreator::ReadControls() {
  MaxThreads = host_.MaxThreads();
  ThreadCount = host_.ThreadCount();
  Retry302 = host_.Retry302();
}

void TThreadCreator::LogMessage() { host_.WriteLog(Message, MessageLevel); }

void TThreadCreator::LogError() {
  MessageLevel = 1;
  if (repeatedLines_.ShouldWrite(Message, RepeatedLineFilter::Clock::now())) Synchronize([this] { LogMessage(); });
}

void TThreadCreator::ClaimAndStart() {
  // Nobody waits for this step: what it raises is kept for the dispatcher.
  try {
    const std::string kbid = std::to_string(NextKbid);
    const std::string url = articleBaseUrl_ + kbid;
    {
      CriticalSectionGuard hold(DatabaseLock);
      Claimed = claim_.Claim(*Database, kbid, url, Message);
    }
    if (Claimed) StartWorker(kbid, url);
  } catch (...) {
    claimError_ = std::current_exception();
  }
}

void TThreadCreator::StartWorker(const std::string& kbid, const std::string& url) {
  // A worker whose thread cannot be made must still take its line away,
  // or the window would wait for it forever when it closes.
  auto worker = std::make_unique<TDownloadThread>(host_, kbid, url, HttpTimeouts{}, fetchFailures_);
  worker->Start();
  worker.release();  // it frees itself when its run ends
}

void TThreadCreator::PauseAfterPass(bool failed) {
  // Sliced, so that a stop request never waits for a whole back-off.
  constexpr std::chrono::milliseconds slice{10};
  auto left = backoff_.AfterPass(failed);
  while (left.count() > 0 && !Terminated()) {
    const auto step = std::min(left, slice);
    SleepPrecisely(step);
    left -= step;
  }
}

}  // namespace velt
