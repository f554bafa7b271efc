#include "session/StartupSequence.h"

#include <exception>
#include <string>

#include "session/RunLog.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

bool RunUpkeep(RunLog& log, const std::function<bool()>& keepAlive, std::string& error) {
  if (!Database || !Database->Connected) {
    error = "DATABASE NOT CONNECTED: THE INDEX TABLE CANNOT BE CHECKED.";
    return false;
  }
  // A long upkeep step (the search index of a file of an earlier version)
  // runs on a thread of its own; meanwhile `keepAlive` keeps the run
  // answering.
  log.ShowBusy(true);
  bool done = false;
  try {
    done = RunIndexUpkeep(*Database, [&log](const std::string& line) { log.WriteLog(line, 0); }, error, keepAlive);
  } catch (const std::exception& e) {  // the catalog calls raise instead of answering false
    error = e.what();
  }
  log.ShowBusy(false);
  return done;
}

}  // namespace

bool RunIndexStartup(RunLog& log, const std::function<bool()>& keepAlive) {
  std::string error;
  if (RunUpkeep(log, keepAlive, error)) return true;
  if (error == kUpkeepAbandonedText) {
    log.WriteLog(error, 0);  // what the user asked for: no notice
    return false;
  }
  log.WriteLog(error, 1);
  log.FatalStop();
  return false;
}

}  // namespace velt
