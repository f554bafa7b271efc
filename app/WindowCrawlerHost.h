// The main window as the crawler sees it (crawler/CrawlerHost.h).
//
// Reads the up-down's position, the worker list's count and the retry
// box, and reports a change of the up-down or the box; writes log lines;
// adds and removes worker lines; tells the user in a message box that the
// disk is full, as a log line alone may go unseen. Every call comes on the
// main thread (the crawler hands them over), as the widgets need.
#pragma once

#include <QMetaObject>

#include "crawler/CrawlerHost.h"

class QCheckBox;

namespace velt {

class MessageLog;
class TUpDown;
class WorkerList;

class WindowCrawlerHost : public CrawlerHost {
 public:
  WindowCrawlerHost(TUpDown& threadCount, const QCheckBox& retry302, WorkerList& workers, MessageLog& log)
      : threadCount_(threadCount), retry302_(retry302), workers_(workers), log_(log) {}

  int MaxThreads() const override;
  int ThreadCount() const override;
  bool Retry302() const override;
  void WatchControls(std::function<void()> changed) override;
  void WriteLog(const std::string& text, int level) override;
  void AddToThreadList(const std::string& url, const void* worker) override;
  void RemoveFromThreadList(const void* worker) override;
  void StoreFullChanged(bool full) override;

 private:
  TUpDown& threadCount_;
  const QCheckBox& retry302_;
  WorkerList& workers_;
  MessageLog& log_;
  QMetaObject::Connection retry302Watch_;
};

}  // namespace velt
