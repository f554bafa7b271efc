#include "crawler/ThreadCreator.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>

#include "crawler/ClaimTransaction.h"
#include "crawler/DownloadThread.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace velt {

const char ArticleBaseUrl[] = "http://" VELTINDEXER_KB_HOST "/default.aspx?scid=kb;ja;";
// The URL column holds 100 characters and the number takes six.
static_assert(sizeof(ArticleBaseUrl) - 1 <= 94, "the article base URL must fit the URL column");

TThreadCreator::TThreadCreator(CrawlerHost& host) : host_(host) {}

void TThreadCreator::Execute() {
  try {
    while (!Terminated()) PauseAfterPass(RunPass());
  } catch (const std::exception& e) {
    // The run ends here; the user would otherwise never learn why no
    // further worker starts.
    Message = e.what();
    MessageLevel = 1;
    Synchronize([this] { LogMessage(); });
    throw;
  }
}

bool TThreadCreator::RunPass() {
  Synchronize([this] { ReadControls(); });
  if (ThreadCount >= MaxThreads) return false;
  bool failed = false;
  NextKbid = -1;
  failed |= !QueryStep(SqlMinUnfetchedKbid, -1, 0);
  if (NextKbid < 0 && Retry302) failed |= !QueryStep(SqlMinRedirectedKbid, -1, 0);
  if (NextKbid < 0) failed |= !QueryStep(SqlMaxKbid, KbidFloor, 1);
  if (NextKbid > KbidFloor && NextKbid < KbidLimit) {
    Synchronize([this] { ClaimAndStart(); });
    if (!Claimed) {
      LogError();
      failed = true;
    }
  }
  return failed;
}

bool TThreadCreator::QueryStep(const char* statement, std::int32_t defaultValue, std::int32_t addend) {
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
  const std::string kbid = std::to_string(NextKbid);
  const std::string url = ArticleBaseUrl + kbid;
  {
    CriticalSectionGuard hold(DatabaseLock);
    Claimed = ClaimRow(*Database, kbid, url, Message);
  }
  if (Claimed) StartWorker(kbid, url);
}

void TThreadCreator::StartWorker(const std::string& kbid, const std::string& url) {
  // A worker whose thread cannot be made must still take its line away,
  // or the window would wait for it forever when it closes.
  auto worker = std::make_unique<TDownloadThread>(host_, kbid, url);
  worker->Start();
  worker.release();  // it frees itself when its run ends
}

void TThreadCreator::PauseAfterPass(bool failed) {
  // Sliced, so that a stop request never waits for a whole back-off.
  constexpr std::chrono::milliseconds slice{10};
  auto left = backoff_.AfterPass(failed);
  while (left.count() > 0 && !Terminated()) {
    const auto step = std::min(left, slice);
    std::this_thread::sleep_for(step);
    left -= step;
  }
}

}  // namespace velt
