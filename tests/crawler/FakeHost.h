// Test support: the window's side of the crawl without a window.
//
// Every call arrives on the main thread (the test's thread, which serves
// the crawler's steps in ServeUntil), so no locking is needed.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "crawler/CrawlerHost.h"

namespace velt::testing {

struct LogLine {
  std::string text;
  int level;
};

class FakeHost : public CrawlerHost {
 public:
  int maxThreads = 0;
  bool retry302 = false;
  int refreshDays = -1;  // off
  mutable int readCount = 0;  // how often the dispatcher read the controls
  std::vector<LogLine> log;
  std::map<const void*, std::string> lines;  // the worker list
  std::vector<std::string> added;  // every line ever added, in order

  int MaxThreads() const override {
    ++readCount;
    return maxThreads;
  }
  int ThreadCount() const override { return static_cast<int>(lines.size()); }
  bool Retry302() const override { return retry302; }
  int RefreshDays() const override { return refreshDays; }
  void WatchControls(std::function<void()> changed) override { controlsChanged = std::move(changed); }
  // What the window does when the user changes a control (or the test the
  // worker list).
  void Changed() {
    if (controlsChanged) controlsChanged();
  }
  std::function<void()> controlsChanged;
  void WriteLog(const std::string& text, int level) override { log.push_back({text, level}); }
  void AddToThreadList(const std::string& url, const void* worker) override;
  void RemoveFromThreadList(const void* worker) override { lines.erase(worker); }
};

// Serves main-thread steps until the condition holds or the time is up;
// returns the condition's last value.
bool ServeUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);
// Serves main-thread steps for the whole time.
void ServeFor(std::chrono::milliseconds time);

}  // namespace velt::testing
