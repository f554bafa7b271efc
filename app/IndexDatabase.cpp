#include "app/IndexDatabase.h"

#include "app/FatalStop.h"
#include "app/MessageLog.h"
#include "store/DatabaseIO.h"

namespace velt {

void OpenIndexDatabase(const std::string& path, MessageLog& log) {
  Database = std::make_unique<TDatabaseJet>();
  std::string error;
  if (Database->Open("", "", path, error)) {
    log.WriteLog("CONNECTED:" + Database->DataSource, 0);
  } else {
    log.WriteLog(error, 1);
    FatalStop();
  }
}

void CloseIndexDatabase() {
  if (!Database) return;
  if (Database->Connected) {
    std::string ignored;
    Database->Compact(ignored);
  }
  Database.reset();  // destroying the session closes it
}

}  // namespace velt
