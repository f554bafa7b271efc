// Runs the kbsite program for a test: starts it, waits until it accepts,
// reads what it printed, stops it with SIGTERM.
//
// The default program is the kbsite of the same build (KBSITE_PROGRAM,
// set by the kbsite_process target). Port 80 needs root or a private
// network namespace (tests/run-in-netns.sh). Start raises
// std::runtime_error when the site exits or does not accept within five
// seconds. One object per site; not for use from several threads at once.
#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

namespace velt::kbsite {

class SiteProcess {
 public:
  // Starts "kbsite --port <port> <arguments...>".
  explicit SiteProcess(const std::vector<std::string>& arguments = {}, int port = 80,
                       const std::string& program = KBSITE_PROGRAM);
  ~SiteProcess();
  SiteProcess(const SiteProcess&) = delete;
  SiteProcess& operator=(const SiteProcess&) = delete;

  // Sends the signal and waits at most ten seconds for the exit. Returns the
  // exit code, 128 + the signal when a signal ended it, or -1 when it did not
  // end in time (it is then killed).
  int Stop(int signal = SIGTERM);

  // The served lines printed so far (SiteAnswer.h: FormatServedLine).
  std::vector<std::string> ServedLines() const;

 private:
  pid_t pid_ = -1;
  std::string outputPath_;
};

}  // namespace velt::kbsite
