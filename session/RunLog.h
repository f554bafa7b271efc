// Where a run of the program reports: log lines (level 0 information, 1
// error), the fatal notice of a failed start, which does not end the
// program, a crawl refused, a proxy refused for the site, and that a long step is under way. The window writes to its message log and shows a box
// (MessageLog); a headless run writes to its standard output and error
// (HeadlessLog). Main thread only.
#pragma once

#include <string>

namespace velt {

inline constexpr char FatalStopText[] = "SORRY, FATAL ERROR OCCURED.";

class RunLog {
 public:
  virtual ~RunLog() = default;
  virtual void WriteLog(const std::string& text, int level) = 0;
  virtual void FatalStop() = 0;
  // The run refuses to crawl, for the reason given: the window shows it in
  // a box, a run without one writes it to standard error.
  virtual void Refuse(const std::string& reason) = 0;
  // The environment names a proxy for the site's scheme that cannot be
  // used, so no crawl starts; `why` names the variable (no credential). A
  // headless run never gets this far: it is refused with the command line.
  virtual void ProxyRefused(const std::string& why) { (void)why; }
  // A step that may take long begins (true) or has ended (false): the
  // window shows the busy cursor meanwhile.
  virtual void ShowBusy(bool /*busy*/) {}
};

}  // namespace velt
