// The main window of the program run in this process on a database file,
// as the program runs it: shown (offscreen), its start-up sequence done;
// destroying it stops the crawl and compacts and closes the database.
#pragma once

#include <memory>
#include <string>

namespace velt {
class TMainForm;
}

namespace velt::scale {

class WindowRun {
 public:
  explicit WindowRun(const std::string& databasePath);
  ~WindowRun();
  // Seconds from the window's creation until its start-up sequence has run.
  double StartupSeconds() const { return startup_; }
  // Seconds to destroy the window (crawl stopped, database compacted and
  // closed); only the first call does anything.
  double Close();
  TMainForm& Form() { return *form_; }

 private:
  std::unique_ptr<TMainForm> form_;
  double startup_ = 0;
};

// Lets the event loop and the threads' main-thread steps run for a while.
void ServeFor(double seconds);

}  // namespace velt::scale
