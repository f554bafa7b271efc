// The log of a run without a window: every line goes to standard output as
// the window's message log would show it (mark, local time, text), written
// out at once so that a pipe or a file sees it while the run goes on. The
// fatal notice and a refusal go to standard error. Main thread only.
#pragma once

#include "session/RunLog.h"

namespace velt {

class HeadlessLog : public RunLog {
 public:
  void WriteLog(const std::string& text, int level) override;
  void FatalStop() override;
  void Refuse(const std::string& reason) override;
};

}  // namespace velt
