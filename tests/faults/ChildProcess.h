// Test support: a program run as a child process whose standard output is
// read line by line, and which a test may signal or kill at any moment.
//
// The child inherits the test's network namespace and environment. Every
// wait is bounded; the destructor kills a child that is still running.
// One object per child, used from one thread.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velt::faults {

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line (without its line break), or nothing when the child
  // closed its output or the time passed.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
  // Reads until a line starts with the prefix; returns that line.
  std::optional<std::string> WaitForLine(const std::string& prefix, std::chrono::milliseconds limit);
  // Every line read so far.
  const std::vector<std::string>& Lines() const { return lines_; }

  void Signal(int signal);
  // The exit code, 128 + the signal that ended it, or -1 when it did not
  // end in time (it is then killed).
  int Wait(std::chrono::milliseconds limit);
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
  std::vector<std::string> lines_;
  bool exited_ = false;
  int status_ = 0;
};

}  // namespace velt::faults
