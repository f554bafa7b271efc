#include "store/provider/PreparedStatement.h"

#include <sqlite3.h>

#include "platform/Error.h"
#include "store/provider/Connection.h"
#include "store/provider/SqlDialect.h"

namespace velt::provider {

PreparedStatement::PreparedStatement(const std::string& sql, std::shared_ptr<Connection> connection)
    : connection_(std::move(connection)) {
  if (!connection_) throw Error("The connection is closed.");
  const TranslatedSql translated = TranslateSql(sql);
  if (translated.kind != TranslatedSql::Kind::Other) throw Error("A schema change cannot be prepared.");
  sqlite3* db = connection_->Handle();
  if (sqlite3_prepare_v2(db, translated.sql.data(), static_cast<int>(translated.sql.size()), &stmt_, nullptr) !=
      SQLITE_OK)
    throw Error(sqlite3_errmsg(db));
  if (!stmt_) throw Error("Empty SQL statement.");
}

PreparedStatement::~PreparedStatement() { sqlite3_finalize(stmt_); }

sqlite3_stmt* PreparedStatement::Start() {
  // The engine would go on running it on a closed connection's handle.
  connection_->Handle();
  sqlite3_reset(stmt_);
  return stmt_;
}

void PreparedStatement::Run() {
  sqlite3_stmt* stmt = Start();
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(sqlite3_db_handle(stmt));
    Reset();
    throw Error(message);
  }
  Reset();
}

void PreparedStatement::Reset() { sqlite3_reset(stmt_); }

}  // namespace velt::provider
