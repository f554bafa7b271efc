#include "store/provider/SqliteCalls.h"

#include "platform/Error.h"

namespace velt::provider {

void ThrowEngineError(sqlite3* db) { throw Error(sqlite3_errmsg(db)); }

std::string_view DiskFullMessage() { return sqlite3_errstr(SQLITE_FULL); }

void ExecEngineSql(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw Error(text);
  }
}

void RunAsOneWrite(sqlite3* db, const std::function<void()>& work) {
  const bool outermost = sqlite3_get_autocommit(db) != 0;
  ExecEngineSql(db, outermost ? "BEGIN IMMEDIATE" : "SAVEPOINT velt_write");
  try {
    work();
    ExecEngineSql(db, outermost ? "COMMIT" : "RELEASE velt_write");
  } catch (...) {
    sqlite3_exec(db, outermost ? "ROLLBACK" : "ROLLBACK TO velt_write; RELEASE velt_write", nullptr, nullptr,
                 nullptr);
    throw;
  }
}

EngineStatement::EngineStatement(sqlite3* db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
    ThrowEngineError(db);
  if (!stmt_) throw Error("Empty SQL statement.");
}

EngineStatement::~EngineStatement() { sqlite3_finalize(stmt_); }

EngineStatement& EngineStatement::Bind(int index, std::string_view text) {
  if (sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) !=
      SQLITE_OK)
    ThrowEngineError(db_);
  return *this;
}

EngineStatement& EngineStatement::Bind(int index, long long value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) ThrowEngineError(db_);
  return *this;
}

bool EngineStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  ThrowEngineError(db_);
}

void EngineStatement::Run() {
  while (Step()) {
  }
}

std::string EngineStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
              : std::string();
}

long long EngineStatement::Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

}  // namespace velt::provider
