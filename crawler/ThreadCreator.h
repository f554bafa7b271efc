// The dispatcher: the one background thread that keeps the crawl going.
//
// Each pass reads the window's controls (through the host, on the main
// thread); when fewer workers run than the user allows, it chooses the next
// article number (the smallest never fetched, then, with the retry box on,
// the smallest answered 302, else one past the largest, 100000 in an empty
// table) and has the main thread claim its row and start a worker for it.
// At most one worker starts per pass. Lowering the allowed number stops no
// running worker.
//
// A claim deletes the number's row and inserts it afresh with RESCODE 0 in
// one transaction, so a failed insert leaves the old row as it was. Failed
// statements go to the log at level 1, an identical line at most once a
// minute, and failing passes back off up to about a second. An unexpected
// error that ends the run is logged at level 1 before the run ends.
//
// The window creates it once the table is ready, starts it, and at the end
// calls Terminate and WaitFor (on the main thread, which serves the
// dispatcher's steps meanwhile). It does not free itself. DatabaseLock is
// held for one query or one claim at a time and never while waiting for the
// main thread.
#pragma once

#include <cstdint>
#include <string>

#include "crawler/CrawlerHost.h"
#include "crawler/FailurePacing.h"
#include "platform/Thread.h"

namespace velt {

inline constexpr std::int32_t KbidFloor = 99999;
inline constexpr std::int32_t KbidLimit = 1000000;
// "http://", the site's host, then the article path; the number follows.
extern const char ArticleBaseUrl[];

class TThreadCreator : public Thread {
 public:
  explicit TThreadCreator(CrawlerHost& host);

 protected:
  void Execute() override;
  // Starts the worker for a claimed row (main thread). Tests replace it.
  virtual void StartWorker(const std::string& kbid, const std::string& url);

 private:
  // Returns whether any statement of the pass failed.
  bool RunPass();
  bool QueryStep(const char* statement, std::int32_t defaultValue, std::int32_t addend);
  void ReadControls();
  void LogMessage();
  void ClaimAndStart();
  void LogError();
  void PauseAfterPass(bool failed);

  CrawlerHost& host_;
  std::int32_t MaxThreads = 0;
  std::int32_t ThreadCount = 0;
  bool Retry302 = false;
  std::string Message;
  std::uint8_t MessageLevel = 0;
  std::int32_t NextKbid = -1;
  bool Claimed = false;
  RepeatedLineFilter repeatedLines_;
  FailureBackoff backoff_;
};

}  // namespace velt
