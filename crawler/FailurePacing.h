// Keeps a failure that repeats on every dispatcher pass from flooding the
// log or the database.
//
// RepeatedLineFilter lets an error line through when the same text has not
// been let through in the last QuietPeriod. FailureBackoff gives the pause
// after a pass: the normal pause after a clean pass, and after failed
// passes one that doubles up to MaxPause.
//
// Both are plain values used by the dispatcher's thread alone.
#pragma once

#include <chrono>
#include <map>
#include <string>

namespace velt {

class RepeatedLineFilter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds QuietPeriod{60};

  bool ShouldWrite(const std::string& line, Clock::time_point now);

 private:
  std::map<std::string, Clock::time_point> lastWritten_;
};

class FailureBackoff {
 public:
  static constexpr std::chrono::milliseconds NormalPause{1};
  static constexpr std::chrono::milliseconds FirstFailurePause{16};
  static constexpr std::chrono::milliseconds MaxPause{1024};

  // The pause to take after a pass that failed or not.
  std::chrono::milliseconds AfterPass(bool failed);

 private:
  std::chrono::milliseconds current_{0};
};

}  // namespace velt
