// The message log on the Messages tab.
//
// The memo starts with a fixed note on the wildcards of LIKE patterns;
// every log line is appended below it as session/LogLine.h writes it. There is no file and no limit. A
// new line scrolls into view while the reader is at the end of the log
// (where it starts); a reader who scrolled up is left where they read.
// The fatal notice is the stop-icon box (FatalStop.h); a refused crawl is
// logged and shown in such a box too. Main thread only:
// it writes to a widget.
#pragma once

#include <QStringList>
#include <memory>
#include <string>

#include "session/RunLog.h"

class QPlainTextEdit;

namespace velt {

class BusyCursor;

// The 18 lines the log memo holds before anything is logged.
QStringList PresetLogLines();

class MessageLog : public RunLog {
 public:
  // Fills the memo with the preset lines.
  explicit MessageLog(QPlainTextEdit& memo);
  ~MessageLog() override;

  // Appends one line stamped with the current local time.
  void WriteLog(const std::string& text, int level) override;
  void FatalStop() override;
  void Refuse(const std::string& reason) override;
  // A stop-icon box in the window's language, the reason below it.
  void ProxyRefused(const std::string& why) override;
  // The busy cursor while a long step runs.
  void ShowBusy(bool busy) override;

 private:
  QPlainTextEdit& memo_;
  std::unique_ptr<BusyCursor> busy_;
};

}  // namespace velt
