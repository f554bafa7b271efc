#include "crawler/ThreadCreator.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "crawler/DownloadThread.h"
#include "net/DesktopProxy.h"
#include "net/FetchTarget.h"
#include "platform/MainThread.h"
#include "platform/PreciseSleep.h"
#include "store/IndexTable.h"

namespace velt {

const char ArticleBaseUrl[] = "http://" VELTINDEXER_KB_HOST "/default.aspx?scid=kb;ja;";
static_assert(sizeof(ArticleBaseUrl) - 1 <= kMaxSiteBaseUrlLength, "the article base URL must fit the URL column");

TThreadCreator::TThreadCreator(CrawlerHost& host, std::string articleBaseUrl,
                               std::shared_ptr<const ProxyRoutes> proxies, double maxRate)
    : host_(host),
      articleBaseUrl_(std::move(articleBaseUrl)),
      proxies_(std::move(proxies)),
      minUnfetched_(SqlMinUnfetchedKbid),
      maxKbid_(SqlMaxKbid),
      pacing_(maxRate) {
  host_.WatchControls([wakeup = wakeup_] { wakeup->Signal(); });
}

void TThreadCreator::Terminate() {
  Thread::Terminate();
  wakeup_->Signal();
}

void TThreadCreator::Execute() {
  try {
    if (proxies_ && proxies_->desktop) AskDesktop();
    for (;;) {
      TakeControls();
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
  HearOutcomes();
  if (halted_ || ThreadCount >= MaxThreads) return false;
  const auto now = RetrySchedule::Clock::now();
  if (!pacing_.Ready(now)) return false;
  switch (retries_.Next(now, retry_)) {
    case RetrySchedule::Turn::Wait:
      return false;
    case RetrySchedule::Turn::Retry:
      pacing_.Started(now);
      retrying_ = true;
      PostToMainThread([this] { ClaimAndStart(); });
      claimHandedOver_ = true;
      return false;
    case RetrySchedule::Turn::NewNumber:
      break;
  }
  // One hold for the whole choice, as each further wait for the lock
  // lengthens the pass; failures are logged once it is let go.
  std::vector<std::string> errors;
  NextKbid = -1;
  nextRefresh_.reset();
  {
    CriticalSectionGuard hold(DatabaseLock);
    QueryStep(minUnfetched_, -1, 0, errors);
    if (NextKbid < 0 && RefreshDays >= 0 && !goneStreak_.Paused()) ChooseRefresh(errors);
    if (NextKbid < 0 && Retry302) ChooseRedirected(errors);
    if (NextKbid < 0) QueryStep(maxKbid_, KbidFloor, 1, errors);
    const bool numberLeft = NextKbid > KbidFloor && NextKbid < KbidLimit;
    refreshDue_ = numberLeft ? RetrySchedule::Clock::time_point::max() : NextRefreshDue(errors);
  }
  for (const std::string& error : errors) {
    Message = error;
    LogError();
  }
  if (NextKbid > KbidFloor && NextKbid < KbidLimit) {
    claimedThisRun_[NextKbid - KbidFloor] = true;
    pacing_.Started(now);
    retrying_ = false;
    PostToMainThread([this] { ClaimAndStart(); });
    claimHandedOver_ = true;
  }
  return !errors.empty();
}

void TThreadCreator::ChooseRedirected(std::vector<std::string>& errors) {
  for (;;) {
    const std::string query = BuildMinRedirectedKbidAboveSql(redirectedAbove_);
    QueryStep(query, -1, 0, errors);
    if (NextKbid <= KbidFloor || NextKbid >= KbidLimit) return;
    redirectedAbove_ = std::to_string(NextKbid);
    if (!claimedThisRun_[NextKbid - KbidFloor]) return;
    NextKbid = -1;  // a new number of this run that answered 302: once is enough
  }
}

std::string TThreadCreator::RefreshCutoff() const {
  if (RefreshDays == 0) return runStart_;
  return std::min(runStart_, LocalStampDaysAgo(RefreshDays));
}

RetrySchedule::Clock::time_point TThreadCreator::NextRefreshDue(std::vector<std::string>& errors) {
  const auto never = RetrySchedule::Clock::time_point::max();
  if (RefreshDays <= 0 || goneStreak_.Paused()) return never;  // 0: nothing falls due during the run
  std::string next;
  if (!QueryText(BuildRefreshNextTimeSql(refreshAt_, runStart_), next, errors)) return never;
  const auto fetched = TimeOfLocalStamp(next);
  if (!fetched) return never;
  // A second late, as fetch times count whole seconds.
  const std::time_t due = *fetched + static_cast<std::time_t>(RefreshDays) * 86400 + 1;
  return RetrySchedule::Clock::now() + std::chrono::seconds(std::max<std::time_t>(due - std::time(nullptr), 0));
}

bool TThreadCreator::QueryText(const std::string& sql, std::string& value, std::vector<std::string>& errors) {
  Recordset rs;
  std::string error;
  if (!Database->OpenQuery(sql, rs, error)) {
    errors.push_back(error);
    return false;
  }
  value = Database->IsEmpty(rs) ? "" : NullTo(Database->FieldByIndex(rs, 0), std::string()).AsText();
  Database->CloseQuery(rs);
  return true;
}

void TThreadCreator::ChooseRefresh(std::vector<std::string>& errors) {
  const std::string cutoff = RefreshCutoff();
  for (;;) {
    std::string kbid;
    if (!refreshAt_.empty() && !QueryText(BuildRefreshSameTimeSql(refreshAt_, refreshAbove_), kbid, errors)) return;
    if (kbid.empty()) {
      std::string next;
      if (!QueryText(BuildRefreshNextTimeSql(refreshAt_, cutoff), next, errors) || next.empty()) return;
      refreshAt_ = next;
      refreshAbove_ = "000000";
      continue;
    }
    refreshAbove_ = kbid;
    const int number = std::atoi(kbid.c_str());
    if (number <= KbidFloor || number >= KbidLimit || claimedThisRun_[number - KbidFloor]) continue;
    std::string code;
    if (!QueryText(BuildRowResCodeSql(kbid), code, errors)) return;
    const int storedCode = std::atoi(code.c_str());
    if (storedCode == 0) continue;  // claimed meanwhile
    NextKbid = number;
    nextRefresh_ = RefreshOf{storedCode, storedCode == 200 ? HttpDateOfLocalStamp(refreshAt_) : ""};
    return;
  }
}

void TThreadCreator::NoteRefresh(const FetchOutcome& outcome) {
  if (outcome.refreshed == Refreshed::Gone) {
    if (goneStreak_.Hold(outcome.heldUpdate)) {
      Log("REFRESH PAUSED: " + std::to_string(GoneStreak::Limit) +
              " STORED ARTICLES IN A ROW ANSWERED AS GONE; THE SITE IS TAKEN AS BROKEN AND NONE OF THEM CHANGES",
          1);
    }
  } else if (outcome.result == FetchResult::Stored && (outcome.resCode == 200 || outcome.resCode == 304)) {
    WriteWithdrawals(goneStreak_.Release());
  }
}

void TThreadCreator::WriteWithdrawals(const std::vector<std::string>& updates) {
  if (updates.empty()) return;
  std::vector<std::string> errors;
  withdrawn_ = 0;
  {
    CriticalSectionGuard hold(DatabaseLock);
    for (const std::string& update : updates) {
      std::string error;
      if (Database->ExecSQL(update, error)) {
        ++withdrawn_;
      } else {
        errors.push_back(error);
      }
    }
  }
  // The row keeps its texts and is fetched again at the next refresh.
  for (const std::string& error : errors) LogWriteFailure(error);
  Synchronize([this] {
    for (int i = 0; i < withdrawn_; ++i) host_.ArticleRefreshed(Refreshed::Gone);
  });
}

void TThreadCreator::HearOutcomes() {
  for (const FetchOutcome& outcome : outcomes_->Take()) HearOutcome(outcome);
  if (proxies_ && proxies_->desktop) {
    // A changed network (another office, a VPN) may change the desktop's
    // answer too.
    if (fetchFailures_.Unreachable() && !siteFailing_) AskDesktop();
    for (const std::string& notice : proxies_->desktop->TakeNotices()) Log(notice, 0);
  }
  siteFailing_ = fetchFailures_.Unreachable();
  if (retries_.Waiting() != retriesReported_) {
    retriesReported_ = retries_.Waiting();
    Synchronize([this] { host_.RetriesPending(retriesReported_); });
  }
  if (retries_.StoreFull() != storeFullReported_) {
    storeFullReported_ = retries_.StoreFull();
    Synchronize([this] { host_.StoreFullChanged(storeFullReported_); });
  }
}

void TThreadCreator::HearOutcome(const FetchOutcome& outcome) {
  if (outcome.result == FetchResult::ProxyRefused) {
    // Every fetch under way meets the same refusal: one line says it.
    if (std::exchange(halted_, true)) return;
    Log(outcome.error, 1);
    Synchronize([this] { host_.CrawlHalted(Message); });
    return;
  }
  if (outcome.result == FetchResult::NotStored) LogWriteFailure(outcome.error);
  NoteRefresh(outcome);
  const auto now = RetrySchedule::Clock::now();
  // The site answered a fetch whose row was not written: no fetch failure.
  const bool noAnswer = outcome.result == FetchResult::Failed || outcome.result == FetchResult::Transient;
  const bool busy = outcome.result == FetchResult::Transient;
  if (auto line = fetchFailures_.Note(noAnswer ? outcome.error : "", busy, now)) Log(*line, 1);
  if (auto line = retries_.Note(outcome, fetchFailures_.Unreachable(), now)) Log(*line, 0);
}

void TThreadCreator::AskDesktop() {
  const auto urls = AskDesktopForProxies(articleBaseUrl_, kDesktopProxyLimit, [this] { return Terminated(); });
  if (Terminated()) return;
  std::vector<std::string> skipped;
  std::vector<ProxyEntry> entries = ProxyEntriesFromUrls(urls.value_or(std::vector<std::string>{}), skipped);
  for (const std::string& why : skipped) Log("DESKTOP PROXY LEFT OUT: " + why, 1);
  const std::string origin = DesktopProxyOrigin(ProcessEnvironment());
  std::string line = urls ? DesktopProxyLine(origin, entries)
                          : "NO PROXY FROM " + origin + ": NO ANSWER WITHIN " +
                                std::to_string(kDesktopProxyLimit.count()) + " SECONDS";
  proxies_->desktop->Replace(std::move(entries));
  if (line != desktopLine_) Log(line, 0);
  desktopLine_ = std::move(line);
}

void TThreadCreator::LogWriteFailure(const std::string& error) {
  const std::string cause = error.substr(0, error.find(';'));
  if (writeFailures_.insert(cause).second) Log("ROW NOT STORED: " + cause, 1);
}

void TThreadCreator::Log(const std::string& text, std::uint8_t level) {
  Message = text;
  MessageLevel = level;
  Synchronize([this] { LogMessage(); });
}

bool TThreadCreator::ClaimFailed() {
  if (!std::exchange(claimHandedOver_, false)) return false;
  if (claimError_) std::rethrow_exception(std::exchange(claimError_, nullptr));
  if (Claimed) return false;
  LogError();
  return true;
}

template <typename Statement>
void TThreadCreator::QueryStep(Statement& statement, std::int32_t defaultValue, std::int32_t addend,
                               std::vector<std::string>& errors) {
  Recordset rs;
  std::string error;
  if (!Database->OpenQuery(statement, rs, error)) {
    errors.push_back(error);
    return;
  }
  const Variant value = NullTo(Database->FieldByName(rs, "KBID"), Variant(defaultValue));
  NextKbid = static_cast<std::int32_t>(value.AsInteger()) + addend;
  Database->CloseQuery(rs);
}

void TThreadCreator::TakeControls() {
  if (const auto offered = controls_->Take()) {
    UseControls(*offered);
  } else {
    Synchronize([this] { ReadControls(); });
  }
}

void TThreadCreator::ReadControls() {
  controls_->Withdraw();  // a claim step's offer, older than this reading
  UseControls(HostControls());
}

CrawlControls TThreadCreator::HostControls() const {
  return {host_.MaxThreads(), host_.ThreadCount(), host_.Retry302(), host_.RefreshDays()};
}

void TThreadCreator::UseControls(const CrawlControls& controls) {
  MaxThreads = controls.maxThreads;
  ThreadCount = controls.threadCount;
  Retry302 = controls.retry302;
  RefreshDays = controls.refreshDays;
}

void TThreadCreator::LogMessage() { host_.WriteLog(Message, MessageLevel); }

void TThreadCreator::LogError() {
  MessageLevel = 1;
  if (repeatedLines_.ShouldWrite(Message, RepeatedLineFilter::Clock::now())) Synchronize([this] { LogMessage(); });
}

void TThreadCreator::ClaimAndStart() {
  // Nobody waits for this step: what it raises is kept for the dispatcher.
  try {
    if (retrying_) {
      // The row is still claimed from its first fetch.
      Claimed = true;
      StartWorker(retry_.kbid, retry_.url, retry_.refresh);
    } else if (nextRefresh_) {
      Claimed = true;  // a refresh claims nothing
      const std::string kbid = std::to_string(NextKbid);
      StartWorker(kbid, articleBaseUrl_ + kbid, nextRefresh_);
    } else {
      const std::string kbid = std::to_string(NextKbid);
      const std::string url = articleBaseUrl_ + kbid;
      {
        CriticalSectionGuard hold(DatabaseLock);
        Claimed = claim_.Claim(*Database, kbid, url, Message);
      }
      if (Claimed) StartWorker(kbid, url, std::nullopt);
    }
  } catch (...) {
    claimError_ = std::current_exception();
  }
  controls_->Offer(HostControls());
}

void TThreadCreator::StartWorker(const std::string& kbid, const std::string& url,
                                 const std::optional<RefreshOf>& refresh) {
  // A worker whose thread cannot be made must still take its line away,
  // or the window would wait for it forever when it closes.
  auto worker =
      std::make_unique<TDownloadThread>(host_, kbid, url, HttpTimeouts{}, outcomes_, controls_, proxies_, refresh);
  worker->Start();
  worker.release();  // it frees itself when its run ends
}

void TThreadCreator::PauseAfterPass(bool failed) {
  const auto pause = backoff_.AfterPass(failed);
  if (!failed && !claimHandedOver_) {
    if (!Terminated()) wakeup_->WaitUntil(IdleUntil());
    return;
  }
  if (pause <= FailureBackoff::NormalPause) {
    SleepPrecisely(pause);
    return;
  }
  // A back-off is waited out whole, but a stop request ends it at once. A
  // change that came meanwhile may postdate the controls that the next
  // pass is offered, so it is kept for the wait after that pass.
  const auto until = RetrySchedule::Clock::now() + pause;
  bool woken = false;
  while (!Terminated() && RetrySchedule::Clock::now() < until) woken |= wakeup_->WaitUntil(until);
  if (woken) wakeup_->Signal();
}

RetrySchedule::Clock::time_point TThreadCreator::IdleUntil() const {
  if (ThreadCount >= MaxThreads) return RetrySchedule::Clock::time_point::max();  // until a change
  const auto now = RetrySchedule::Clock::now();
  const auto paced = pacing_.NextStart();
  const auto never = RetrySchedule::Clock::time_point::max();
  return std::min({paced > now ? paced : never, refreshDue_ > now ? refreshDue_ : never, retries_.WakeTime(now)});
}

}  // namespace velt
