// The dispatcher: the one background thread that keeps the crawl going.
//
// Each pass reads the window's controls (through the host, on the main
// thread); when fewer workers run than the user allows, it chooses the next
// article number (the smallest never fetched, then, with the retry box on,
// with refresh on, the stored row fetched longest ago and longer ago than
// the host's refresh days (RefreshFetch.h), each once a run; then, with
// the retry box on, the smallest answered 302 above the one it chose last
// and not claimed in this run, so that each is fetched once a run; else one
// past the largest, 100000 in an empty table) and has the main thread claim
// its row and start a worker for it. At most one worker starts per pass,
// and a pass that may be followed by another start ends with a pause of
// about a millisecond. A pass that could start nothing (none allowed, as
// many running as allowed, a pause, a back-off or the rate cap holding, no
// number left) sleeps until something can change that: the host's controls
// (CrawlerHost::WatchControls), a worker's end, the next due time (a
// retry's, or when no number is left the time the next stored row falls
// due for its refresh), or the stop request. Lowering the allowed number
// stops no running worker.
//
// Each pass first hears how the workers' fetches ended (FetchOutcomes.h):
// a failed fetch or a transient answer leaves its row claimed, and the
// RetrySchedule says when it is fetched again; a retry that is due starts
// instead of a new number, without a new claim. While the site asks to
// wait, or while an outage is waited out, no new number is claimed. The
// FetchFailureWatch's lines and the schedule's go to the log, and the
// host hears the count of waiting retries whenever it changes. A stop
// leaves every waiting retry claimed for the next start. With a rate cap
// (--max-rate) fetch starts, retries included, are spaced evenly.
//
// A row that could not be written is logged at level 1 once per cause
// (the store's message, not the statement); a full disk also pauses the
// crawl until a row is written again (RetrySchedule), and the host hears
// of it (StoreFullChanged). A proxy that refuses the user ends the
// crawl's starts for this run: its line (the proxy and its status line) is
// logged once at level 1, the host hears CrawlHalted, and the fetches
// under way run to their end.
//
// When the desktop decides the proxy (ProxyRoutes::desktop), the
// dispatcher asks it for the site before its first pass and again when an
// outage begins, and logs its answer when that changed, and the chain's
// notices of proxies that could not be reached.
//
// The pass does not wait for its claim: the main thread runs it while the
// dispatcher pauses and then offers the controls as they stand to the next
// pass (ControlsSnapshot.h); without a standing offer the next pass's
// reading of the controls, handed over after the claim, returns only once
// it has run. So every count and choice still sees the claim and its
// worker's line, and the claim's outcome is dealt with at the start of the
// next pass. The queries for the smallest unfetched and the largest number
// and the claim's transaction statements never change and stay prepared;
// the 302 and refresh queries, whose cursors move, are built each time.
//
// A claim deletes the number's row and inserts it afresh with RESCODE 0 in
// one transaction, so a failed insert leaves the old row as it was. A
// refresh claims nothing. The dispatcher holds the refresh's gone answers
// (GoneStreak), writes them once a 200 or 304 shows the site sound, and
// logs once when a streak of them pauses the refresh. Failed
// statements go to the log at level 1, an identical line at most once a
// minute, and failing passes back off up to about a second. An unexpected
// error that ends the run is logged at level 1 before the run ends.
//
// The host's owner creates it once the table is ready, starts it, and at
// the end calls Terminate and WaitFor (on the main thread, which serves the
// dispatcher's steps meanwhile; a claim handed over before the stop request
// still runs). It does not free itself. DatabaseLock is held for a pass's
// choosing queries or for one claim, and never while waiting for the main
// thread.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "crawler/ClaimTransaction.h"
#include "crawler/ControlsSnapshot.h"
#include "crawler/CrawlerHost.h"
#include "crawler/FailurePacing.h"
#include "crawler/FetchFailureWatch.h"
#include "crawler/FetchOutcomes.h"
#include "crawler/RatePacing.h"
#include "crawler/RefreshFetch.h"
#include "crawler/RetrySchedule.h"
#include "net/ProxyChoice.h"
#include "platform/Thread.h"
#include "platform/Wakeup.h"
#include "store/DatabaseIO.h"

namespace velt {

inline constexpr std::int32_t KbidFloor = 99999;
inline constexpr std::int32_t KbidLimit = 1000000;
// The build's site: "http://", the site's host, then the article path; the
// number follows.
extern const char ArticleBaseUrl[];

class TThreadCreator : public Thread {
 public:
  // The base URL and the proxy routes stay the same for the dispatcher's
  // life: the build's site or the one chosen when the program started, and
  // the proxies chosen then (none when not given). `maxRate`: fetch starts
  // per second at most, 0 for no cap.
  TThreadCreator(CrawlerHost& host, std::string articleBaseUrl, std::shared_ptr<const ProxyRoutes> proxies = nullptr,
                 double maxRate = 0);

  void Terminate() override;  // also ends a sleep at once

 protected:
  void Execute() override;
  // Starts the worker for a claimed row (main thread). Tests replace it.
  virtual void StartWorker(const std::string& kbid, const std::string& url, const std::optional<RefreshOf>& refresh);

 private:
  // Each returns whether a statement failed.
  bool RunPass();
  void HearOutcomes();
  // Under DatabaseLock: the lowest 302 row above the last one chosen that
  // was not claimed in this run, into NextKbid (-1 when none).
  void ChooseRedirected(std::vector<std::string>& errors);
  // Under DatabaseLock: the next row to refresh into NextKbid and
  // nextRefresh_ (NextKbid -1 when none is due).
  void ChooseRefresh(std::vector<std::string>& errors);
  std::string RefreshCutoff() const;
  // Under DatabaseLock, once no number is left: when the next stored row
  // falls due for its refresh, as time passes; max() when none will.
  RetrySchedule::Clock::time_point NextRefreshDue(std::vector<std::string>& errors);
  // The first value of the query's first row as text, "" for none or Null;
  // false after a failure, whose text goes to `errors`.
  bool QueryText(const std::string& sql, std::string& value, std::vector<std::string>& errors);
  void NoteRefresh(const FetchOutcome& outcome);
  void WriteWithdrawals(const std::vector<std::string>& updates);
  void HearOutcome(const FetchOutcome& outcome);
  void AskDesktop();
  // Logs a row that could not be written, once per cause.
  void LogWriteFailure(const std::string& error);
  void Log(const std::string& text, std::uint8_t level);
  // Under DatabaseLock; a failure's text is added to `errors`.
  template <typename Statement>  // PreparedSql or SQL text
  void QueryStep(Statement& statement, std::int32_t defaultValue, std::int32_t addend,
                 std::vector<std::string>& errors);
  bool ClaimFailed();  // once the previous pass's claim has run
  void TakeControls();  // the claim step's offer, else a reading on the main thread
  void ReadControls();
  CrawlControls HostControls() const;  // main thread
  void UseControls(const CrawlControls& controls);
  void LogMessage();
  void ClaimAndStart();
  void LogError();
  void PauseAfterPass(bool failed);
  RetrySchedule::Clock::time_point IdleUntil() const;

  CrawlerHost& host_;
  const std::string articleBaseUrl_;
  const std::shared_ptr<const ProxyRoutes> proxies_;
  std::int32_t MaxThreads = 0;
  std::int32_t ThreadCount = 0;
  bool Retry302 = false;
  int RefreshDays = -1;
  std::string Message;
  std::uint8_t MessageLevel = 0;
  std::int32_t NextKbid = -1;
  bool Claimed = false;
  bool claimHandedOver_ = false;
  bool retrying_ = false;  // the hand-over restarts retry_ instead of claiming
  RetrySchedule::Retry retry_;
  std::exception_ptr claimError_;  // raised by the claim step, for the dispatcher to raise
  PreparedSql minUnfetched_;
  // The 302 row chosen last: a row that answers 302 again is not chosen
  // again in this run, so the retry reaches every such row once.
  std::string redirectedAbove_ = "000000";
  std::vector<bool> claimedThisRun_ = std::vector<bool>(KbidLimit - KbidFloor);
  const std::string runStart_ = LocalStampDaysAgo(0);  // as GETBEGIN holds it
  std::string refreshAt_;  // the refresh's cursor: fetch time and number
  std::string refreshAbove_ = "000000";
  std::optional<RefreshOf> nextRefresh_;  // the chosen row, for the hand-over
  GoneStreak goneStreak_;
  int withdrawn_ = 0;  // for the host
  RetrySchedule::Clock::time_point refreshDue_ = RetrySchedule::Clock::time_point::max();  // NextRefreshDue
  PreparedSql maxKbid_;
  ClaimTransaction claim_;
  RepeatedLineFilter repeatedLines_;
  FailureBackoff backoff_;
  FetchFailureWatch fetchFailures_;
  RetrySchedule retries_;
  int retriesReported_ = 0;
  bool storeFullReported_ = false;
  std::set<std::string> writeFailures_;  // causes already logged
  bool halted_ = false;  // a proxy refused the user
  bool siteFailing_ = false;
  std::string desktopLine_;  // the desktop's answer as last logged
  RatePacing pacing_;
  // Outlive the dispatcher in the workers and the host that share them.
  std::shared_ptr<Wakeup> wakeup_ = std::make_shared<Wakeup>();
  std::shared_ptr<FetchOutcomes> outcomes_ = std::make_shared<FetchOutcomes>();
  std::shared_ptr<ControlsSnapshot> controls_ = std::make_shared<ControlsSnapshot>(wakeup_);
};

}  // namespace velt
