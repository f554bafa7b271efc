// Where a run of the program reports: log lines (level 0 information, 1
// error) and the fatal notice of a failed start, which does not end the
// program. The window writes to its message log and shows a box
// (MessageLog); a headless run writes to its standard output and error
// (HeadlessLog). Main thread only.
#pragma once

#include <string>

namespace velt {

class RunLog {
 public:
  virtual ~RunLog() = default;
  virtual void WriteLog(const std::string& text, int level) = 0;
  virtual void FatalStop() = 0;
};

}  // namespace velt
