#include "session/IndexDatabase.h"

#include "session/RunLog.h"
#include "store/DatabaseIO.h"

namespace velt {

bool OpenIndexDatabase(const std::string& path, RunLog& log) {
  Database = std::make_unique<TDatabaseJet>();
  std::string error;
  // Copies that a compaction killed midway left behind are only litter;
  // failing to remove them does not keep the program from its work.
  if (!RemoveCompactionLeftovers(path, error)) log.WriteLog(error, 1);
  if (Database->Open("", "", path, error)) {
    log.WriteLog("CONNECTED:" + Database->DataSource, 0);
    return true;
  }
  log.WriteLog(error, 1);
  log.FatalStop();
  return false;
}

bool OpenIndexDatabaseToRead(const std::string& path, std::string& error) {
  Database = std::make_unique<TDatabaseJet>();
  return Database->TDatabase::Open("", "", path, error);  // the base session never makes a file
}

bool CloseIndexDatabase(std::string& error) {
  bool compacted = false;
  if (!Database || !Database->Connected) {
    error = "The database was not open.";
  } else {
    error.clear();
    compacted = Database->Compact(error) && error.empty();
  }
  Database.reset();  // destroying the session closes it
  return compacted;
}

}  // namespace velt
