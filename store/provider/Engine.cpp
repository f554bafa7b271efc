#include "store/provider/Engine.h"

#include <sqlite3.h>

#include "platform/Error.h"
#include "store/provider/Connection.h"
#include "store/provider/ConnectionString.h"
#include "store/provider/FileMeta.h"
#include "store/provider/SqlLexer.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

namespace {

// Sets the copy's password with a full sync, so that the copy is durable
// before anyone renames it into place.
void WritePasswordDurably(const std::string& path, const std::string& password) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::string message = "Could not open the compacted copy '" + path + "' (" +
                          (db ? sqlite3_errmsg(db) : "out of memory") + ")";
    sqlite3_close_v2(db);
    throw Error(message);
  }
  try {
    ExecEngineSql(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
    EnsureMetaTables(db);
    WriteDatabasePassword(db, password);
  } catch (...) {
    sqlite3_close_v2(db);
    throw;
  }
  if (sqlite3_close(db) != SQLITE_OK) throw Error("Could not close the compacted copy '" + path + "'.");
}

}  // namespace

void Engine::CompactDatabase(const std::string& sourceConnectionText,
                             const std::string& destinationConnectionText) {
  const ConnectionSettings source = ParseConnectionString(sourceConnectionText);
  const ConnectionSettings destination = ParseConnectionString(destinationConnectionText);
  {
    auto connection = Connection::OpenFile(source);
    ExecEngineSql(connection->Handle(), "VACUUM INTO " + QuoteEngineText(destination.dataSource));
  }
  WritePasswordDurably(destination.dataSource, destination.password);
}

}  // namespace velt::provider
