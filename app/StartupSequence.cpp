#include "app/StartupSequence.h"

#include <exception>
#include <string>

#include "app/FatalStop.h"
#include "app/MessageLog.h"
#include "store/IndexTable.h"

namespace velt {
namespace {

bool RunUpkeep(MessageLog& log, std::string& error) {
  if (!Database || !Database->Connected) {
    error = "DATABASE NOT CONNECTED: THE INDEX TABLE CANNOT BE CHECKED.";
    return false;
  }
  try {
    return RunIndexUpkeep(*Database, [&log](const std::string& line) { log.WriteLog(line, 0); }, error);
  } catch (const std::exception& e) {  // the catalog calls raise instead of answering false
    error = e.what();
    return false;
  }
}

}  // namespace

bool RunIndexStartup(MessageLog& log) {
  std::string error;
  if (RunUpkeep(log, error)) return true;
  log.WriteLog(error, 1);
  FatalStop();
  return false;
}

}  // namespace velt
