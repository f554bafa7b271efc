#include "store/provider/Engine.h"

#include <sqlite3.h>

#include "platform/Error.h"
#include "store/provider/Connection.h"
#include "store/provider/ConnectionString.h"
#include "store/provider/FileMeta.h"
#include "store/provider/SearchIndex.h"
#include "store/provider/SqlLexer.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

namespace {

constexpr int kIncrementalAutoVacuum = 2;

long long PragmaNumber(sqlite3* db, const char* pragma) {
  EngineStatement query(db, std::string("PRAGMA ") + pragma);
  return query.Step() ? query.Integer(0) : 0;
}

std::string PragmaText(sqlite3* db, const char* pragma) {
  EngineStatement query(db, std::string("PRAGMA ") + pragma);
  return query.Step() ? query.Text(0) : std::string();
}

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

std::unique_ptr<Engine> Engine::Open(const std::string& connectionText) {
  auto connection = Connection::OpenExclusive(ParseConnectionString(connectionText));
  if (!connection) return nullptr;
  return std::unique_ptr<Engine>(new Engine(std::move(connection)));
}

Engine::Engine(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}

Engine::~Engine() = default;

void Engine::MergeMostlyDeadSearchIndexes() { provider::MergeMostlyDeadSearchIndexes(connection_->Handle()); }

FreeSpace Engine::Space() const {
  sqlite3* db = connection_->Handle();
  return {PragmaNumber(db, "page_count"), PragmaNumber(db, "freelist_count"),
          PragmaNumber(db, "auto_vacuum") == kIncrementalAutoVacuum};
}

void Engine::ReclaimFreePages() {
  sqlite3* db = connection_->Handle();
  if (PragmaNumber(db, "auto_vacuum") != kIncrementalAutoVacuum)
    throw Error("The database file was not made to give back free pages in place.");
  // The pragma runs as one write of its own; a failure rolls all of it back.
  EngineStatement(db, "PRAGMA incremental_vacuum").Run();
}

void Engine::WriteCompactedCopy(const std::string& destinationConnectionText) {
  const ConnectionSettings destination = ParseConnectionString(destinationConnectionText);
  sqlite3* db = connection_->Handle();
  // The copy will be renamed over this file, and the write-ahead log is
  // found by the file's name: empty it into this file and remove it first,
  // or the copy would later be read through this file's log.
  if (PragmaText(db, "journal_mode=DELETE") != "delete")
    throw Error("Could not write the database file's log into the file before copying it.");
  // The setting takes effect in the copy, which is written afresh: a file
  // made before new files gave back free pages in place changes over here,
  // once.
  if (PragmaNumber(db, "auto_vacuum") != kIncrementalAutoVacuum) ExecEngineSql(db, "PRAGMA auto_vacuum=INCREMENTAL");
  ExecEngineSql(db, "VACUUM INTO " + QuoteEngineText(destination.dataSource));
  WritePasswordDurably(destination.dataSource, destination.password);
}

void Engine::SetPassword(const std::string& password) {
  sqlite3* db = connection_->Handle();
  RunAsOneWrite(db, [&] { WriteDatabasePassword(db, password); });
}

}  // namespace velt::provider
