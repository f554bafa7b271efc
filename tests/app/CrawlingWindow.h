// The real window crawling the sample site: a started window on a fresh
// database with its own dispatcher and workers, the site on port 80 of the
// test's private network namespace (tests/run-in-netns.sh), the up-down
// driven through its arrow buttons, and a watch on the worker list that
// sees every line come and go.
#pragma once

#include <gmock/gmock.h>

#include <QListWidget>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/DatabaseIO.h"
#include "tests/app/GuiTestSupport.h"
#include "tools/kbsite/SiteProcess.h"

namespace velt::test {

// KBID to RESCODE (nullopt for NULL) of every row of the index table.
using ResCodes = std::map<std::string, std::optional<long long>>;
ResCodes ReadResCodes(TDatabase& database);

// The six digits at the end of a worker line or a KBID.
int ArticleNumber(const std::string& urlOrKbid);

// Serves window events (and with them the threads' main-thread steps)
// until the condition holds or the time is up; returns the condition.
bool ServeEventsUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);
void ServeEventsFor(std::chrono::milliseconds time);

// Counts the lines of LboxThreads as they are added and removed. Each
// addition is checked against a limit: the list may not hold more lines
// right after it than the limit allowed.
class WorkerListWatch {
 public:
  explicit WorkerListWatch(QListWidget& list);
  ~WorkerListWatch();

  void SetLimit(int limit) { limit_ = limit; }
  const std::vector<std::string>& Added() const { return added_; }
  int Removed() const { return removed_; }
  int MostLines() const { return mostLines_; }
  // Line counts seen right after an addition that broke the limit.
  const std::vector<int>& OverLimit() const { return overLimit_; }

 private:
  std::vector<QMetaObject::Connection> connections_;
  int limit_ = 30;
  std::vector<std::string> added_;
  int removed_ = 0;
  int mostLines_ = 0;
  std::vector<int> overLimit_;
};

class CrawlingWindow : public StartedWindow {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the sample site; each answer waits the given time first.
  void StartSite(std::chrono::milliseconds latency);
  // Clicks the up-down's arrows until its position is the given one.
  void SetThreadCount(int position);
  ResCodes WindowRows();
  int Lines() { return Control<QListWidget>("LboxThreads").count(); }
  // Closes and destroys the window as the program's end does.
  void CloseWindow();

  std::unique_ptr<kbsite::SiteProcess> site_;
  std::unique_ptr<WorkerListWatch> watch_;
};

}  // namespace velt::test
