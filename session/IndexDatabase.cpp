#include "session/IndexDatabase.h"

#include <filesystem>
#include <system_error>

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
  return Database->OpenExisting("", "", path, error);
}

bool CloseIndexDatabase(std::string& error) {
  bool compacted = false;
  std::string path;
  if (!Database || !Database->Connected) {
    error = "The database was not open.";
  } else {
    error.clear();
    path = Database->DataSource;
    compacted = Database->Compact(error) && error.empty();
  }
  Database.reset();  // destroying the session closes it
  // The last close merges the write-ahead log into the file and removes
  // it; one still there (a full disk) holds rows the file itself lacks.
  std::error_code missing;
  if (compacted && std::filesystem::file_size(path + "-wal", missing) > 0 && !missing) {
    error = "The database '" + path + "' was not closed cleanly: its write-ahead log was left beside it.";
    return false;
  }
  return compacted;
}

}  // namespace velt
