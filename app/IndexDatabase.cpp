#include "app/IndexDatabase.h"

#include "app/RunLog.h"
#include "store/DatabaseIO.h"

namespace velt {

bool OpenIndexDatabase(const std::string& path, RunLog& log) {
  Database = std::make_unique<TDatabaseJet>();
  std::string error;
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
