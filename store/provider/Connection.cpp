#include "store/provider/Connection.h"

#include <sqlite3.h>

#include <filesystem>

#include "platform/Error.h"
#include "store/provider/BackgroundCheckpoint.h"
#include "store/provider/ColumnRules.h"
#include "store/provider/FileMeta.h"
#include "store/provider/SearchIndex.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqlFunctions.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

namespace {

constexpr int kBusyTimeoutMs = 10000;

sqlite3* OpenEngine(const std::string& path, int flags, const std::string& failure) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = failure + " (" + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + ")";
    sqlite3_close_v2(db);
    throw Error(message);
  }
  return db;
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace

std::shared_ptr<Connection> Connection::Prepare(sqlite3* db, const std::string& path, bool exclusive) {
  std::shared_ptr<Connection> connection(new Connection(db, path));
  // A connection that wants the file alone asks once: waiting would only
  // delay the other user's work.
  sqlite3_busy_timeout(db, exclusive ? 0 : kBusyTimeoutMs);
  sqlite3_extended_result_codes(db, 1);
  try {
    // In this mode the locks that the first read and write take are kept
    // until the connection closes.
    if (exclusive) ExecEngineSql(db, "PRAGMA locking_mode=EXCLUSIVE");
    // Reading the schema is the first access to the file's contents: this
    // is where a file that is not a database shows itself.
    ExecEngineSql(db, "SELECT count(*) FROM sqlite_schema");
    if (exclusive) ExecEngineSql(db, "BEGIN EXCLUSIVE; COMMIT;");
  } catch (const Error&) {
    const int code = sqlite3_errcode(db) & 0xFF;
    if (exclusive && (code == SQLITE_BUSY || code == SQLITE_LOCKED)) return nullptr;
    if (code != SQLITE_NOTADB) throw;
    throw Error("The file '" + path + "' is not a database in a format this program can read.");
  }
  InstallSqlFunctions(db);
  return connection;
}

std::shared_ptr<Connection> Connection::OpenExisting(const ConnectionSettings& settings, bool exclusive) {
  const std::string& path = settings.dataSource;
  if (!FileExists(path)) throw Error("Could not find the database file '" + path + "'.");
  auto connection = Prepare(OpenEngine(path, SQLITE_OPEN_READWRITE, "Could not open the database file '" + path + "'"),
                            path, exclusive);
  if (!connection) return nullptr;
  EnsureMetaTables(connection->db_);
  if (ReadDatabasePassword(connection->db_) != settings.password) throw Error("The database password is not valid.");
  return connection;
}

std::shared_ptr<Connection> Connection::OpenFile(const ConnectionSettings& settings) {
  auto connection = OpenExisting(settings, false);
  ExecEngineSql(connection->db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  connection->StartBackgroundCheckpoint();
  return connection;
}

std::shared_ptr<Connection> Connection::OpenExclusive(const ConnectionSettings& settings) {
  return OpenExisting(settings, true);
}

std::shared_ptr<Connection> Connection::CreateFile(const ConnectionSettings& settings) {
  const std::string& path = settings.dataSource;
  if (FileExists(path)) throw Error("The database file '" + path + "' already exists.");
  auto connection = Prepare(
      OpenEngine(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "Could not create the database file '" + path + "'"),
      path, false);
  sqlite3* db = connection->db_;
  // Only an empty file can take this setting; later it needs a rewrite.
  ExecEngineSql(db, "PRAGMA auto_vacuum=INCREMENTAL; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  EnsureMetaTables(db);
  WriteDatabasePassword(db, settings.password);
  connection->StartBackgroundCheckpoint();
  return connection;
}

Connection::Connection(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

Connection::~Connection() { Close(); }

void Connection::StartBackgroundCheckpoint() { checkpoint_ = std::make_unique<BackgroundCheckpoint>(db_, path_); }

void Connection::Close() {
  checkpoint_.reset();
  // close_v2 lets recordsets that are still open finish on their own.
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

sqlite3* Connection::Handle() const {
  if (!db_) throw Error("The connection is closed.");
  return db_;
}

void Connection::Interrupt() {
  if (db_) sqlite3_interrupt(db_);
}

void Connection::Execute(const std::string& sql) {
  sqlite3* db = Handle();
  const TranslatedSql translated = TranslateSql(sql);
  if (translated.kind == TranslatedSql::Kind::Other) {
    EngineStatement(db, translated.sql).Run();
    return;
  }
  // Schema changes and the provider's bookkeeping commit together.
  RunAsOneWrite(db, [&] {
    EngineStatement(db, translated.sql).Run();
    if (translated.kind == TranslatedSql::Kind::CreateTable) {
      RebuildColumnRules(db, translated.tableName);
    } else if (translated.kind == TranslatedSql::Kind::DropTable) {
      ForgetTableSettings(db, translated.tableName);
      ForgetSearchIndex(db, translated.tableName);
    } else {
      ForgetSearchIndex(db, translated.tableName);
    }
  });
}

}  // namespace velt::provider
