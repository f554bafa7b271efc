// The main window as the crawler sees it (crawler/CrawlerHost.h).
//
// Reads the up-down's position, the worker list's count, the retry box and
// the refresh's box and days, and reports a change of any of them; writes
// log lines; adds and removes worker lines; counts the ended workers in the
// window's progress line; tells the user in a message box that the disk is
// full, as a log line alone may go unseen. Every call comes on the main
// thread (the crawler hands them over), as the widgets need.
#pragma once

#include <QMetaObject>

#include "crawler/CrawlerHost.h"
#include "session/CrawlProgress.h"

class QCheckBox;
class QSpinBox;

namespace velt {

class MessageLog;
class TUpDown;
class WorkerList;

class WindowCrawlerHost : public CrawlerHost {
 public:
  WindowCrawlerHost(TUpDown& threadCount, const QCheckBox& retry302, const QCheckBox& refresh,
                    const QSpinBox& refreshDays, WorkerList& workers, MessageLog& log, CrawlProgress& progress)
      : threadCount_(threadCount),
        retry302_(retry302),
        refresh_(refresh),
        refreshDays_(refreshDays),
        workers_(workers),
        log_(log),
        progress_(progress) {}

  int MaxThreads() const override;
  int ThreadCount() const override;
  bool Retry302() const override;
  void WatchControls(std::function<void()> changed) override;
  void WriteLog(const std::string& text, int level) override;
  void AddToThreadList(const std::string& url, const void* worker) override;
  void RemoveFromThreadList(const void* worker) override;
  int RefreshDays() const override;
  void ArticleEnded(int resCode, bool stored) override { progress_.Ended(resCode, stored); }
  void RetriesPending(int count) override { progress_.RetriesPending(count); }
  void ArticleRefreshed(Refreshed result) override { progress_.Refreshed(result); }
  void StoreFullChanged(bool full) override;

 private:
  TUpDown& threadCount_;
  const QCheckBox& retry302_;
  const QCheckBox& refresh_;
  const QSpinBox& refreshDays_;
  WorkerList& workers_;
  MessageLog& log_;
  CrawlProgress& progress_;
  QMetaObject::Connection retry302Watch_;
  QMetaObject::Connection refreshWatch_;
  QMetaObject::Connection refreshDaysWatch_;
};

}  // namespace velt
