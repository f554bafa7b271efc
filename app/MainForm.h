// The program's main window (object name "MainForm").
//
// Creating it opens the index database (store's `Database`) on the given
// path and logs the result; its first paint runs the start-up sequence
// once (index upkeep, then the dispatcher on the run's article base URL);
// destroying it stops the dispatcher, waits until every worker has removed
// its line, then compacts and closes the database (CrawlSession.h). It is
// the crawler's host: the up-down's position, the worker list and the
// retry box are what the crawler reads, the message log is where it
// writes. Input made during the start-up or a search is dropped; closing
// the window then ends that step early and closes it when the step ends.
//
// Main thread only. One window at a time: it owns the process-wide
// `Database` from construction to destruction.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/MainFormControls.h"
#include "crawler/ThreadCreator.h"

namespace velt {

class CrawlerHost;
class CrawlSession;
class EscapeKeyMonitor;
class CrawlProgress;
class MessageLog;
class ResultMemoHits;
class UrlHandler;
class WorkerList;

class TMainForm : public QWidget {
 public:
  // Fetches go through the proxies' routes (direct without them);
  // `maxRate`: the crawl's fetch starts per second at most, 0 for no cap;
  // `refreshDays`, when not negative, turns the refresh's box on with
  // those days.
  TMainForm(const std::string& databasePath, const std::string& articleBaseUrl,
            std::shared_ptr<const ProxyRoutes> proxies = nullptr, double maxRate = 0, int refreshDays = -1,
            QWidget* parent = nullptr);
  ~TMainForm() override;

  // Stops the crawl and compacts and closes the database, once (the
  // destructor does it otherwise): whether the file was compacted and
  // closed cleanly, with the reason in `error` when not.
  bool CloseDatabase(std::string& error);

  // Whether the start-up sequence has run (it runs once per window).
  bool StartupHasRun() const { return startupHasRun_; }
  MessageLog& Log() { return *log_; }
  CrawlerHost& Host() { return *host_; }
  // Where the result memo's hits are opened (the desktop's browser unless
  // told otherwise).
  void UseUrlHandler(UrlHandler& handler);

 private:
  void FormCreate(const std::string& databasePath);
  void AfterShowTriggerPaint();
  void RunStartupSequence();
  // Runs a long step with input held back (EscapeKey.h); a request to
  // close the window made meanwhile is carried out once the step has ended.
  void RunWatched(const std::function<void()>& step);
  void BtnVersionClick();
  void BtnSearchClick();
  void BtnStatusClick();

  MainFormControls ui_;
  std::unique_ptr<MessageLog> log_;
  std::unique_ptr<CrawlProgress> progress_;
  std::unique_ptr<WorkerList> workers_;
  std::unique_ptr<CrawlerHost> host_;
  std::unique_ptr<EscapeKeyMonitor> escapeKey_;
  std::unique_ptr<CrawlSession> session_;
  std::unique_ptr<ResultMemoHits> resultHits_;
  const std::string articleBaseUrl_;
  std::shared_ptr<const ProxyRoutes> proxies_;
  const double maxRate_;
  bool startupHasRun_ = false;
  bool closed_ = false;
};

}  // namespace velt
