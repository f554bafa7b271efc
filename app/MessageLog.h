// The message log on the Messages tab.
//
// The memo starts with a fixed note on the wildcards of LIKE patterns;
// every log line is appended below it as the level's mark ("○" for 0,
// information, "●" for 1, error), the local time as
// "yyyy/mm/dd hh:nn:ss " and the text. There is no file and no limit. A
// new line scrolls into view while the reader is at the end of the log
// (where it starts); a reader who scrolled up is left where they read.
// The fatal notice is the stop-icon box (FatalStop.h). Main thread only:
// it writes to a widget.
#pragma once

#include <QStringList>
#include <string>

#include "app/RunLog.h"

class QPlainTextEdit;

namespace velt {

// The 18 lines the log memo holds before anything is logged.
QStringList PresetLogLines();

// One log line from its parts; any level other than 0 is marked as an error.
std::string FormatLogLine(const std::string& text, int level, const std::string& timeText);
// The line stamped with the current local time.
std::string StampLogLine(const std::string& text, int level);

class MessageLog : public RunLog {
 public:
  // Fills the memo with the preset lines.
  explicit MessageLog(QPlainTextEdit& memo);

  // Appends one line stamped with the current local time.
  void WriteLog(const std::string& text, int level) override;
  void FatalStop() override;

 private:
  QPlainTextEdit& memo_;
};

}  // namespace velt
