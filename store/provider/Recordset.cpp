#include "store/provider/Recordset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "platform/Error.h"
#include "store/provider/Connection.h"
#include "store/provider/DataTypes.h"
#include "store/provider/PreparedStatement.h"
#include "store/provider/SearchQuery.h"
#include "store/provider/SqlDialect.h"

namespace velt::provider {

Recordset::~Recordset() { Close(); }

void Recordset::Open(const std::string& sql, const std::shared_ptr<Connection>& connection) {
  if (stmt_) throw Error("The recordset is already open.");
  if (!connection) throw Error("The connection is closed.");
  sqlite3* db = connection->Handle();
  std::optional<std::string> searched = RewriteSearchQuery(db, sql);
  const std::string translated = searched ? std::move(*searched) : TranslateSql(sql).sql;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, translated.data(), static_cast<int>(translated.size()), &stmt, nullptr) !=
      SQLITE_OK)
    throw Error(sqlite3_errmsg(db));
  if (!stmt) throw Error("Empty SQL statement.");
  stmt_ = stmt;
  connection_ = connection;
  StandOnFirstRow();
}

void Recordset::Open(std::shared_ptr<PreparedStatement> statement) {
  if (stmt_) throw Error("The recordset is already open.");
  stmt_ = statement->Start();
  connection_ = statement->Owner();
  prepared_ = std::move(statement);
  StandOnFirstRow();
}

void Recordset::StandOnFirstRow() {
  try {
    Step();
  } catch (...) {
    Close();
    throw;
  }
  bof_ = eof_;
}

void Recordset::Close() {
  if (prepared_) {
    prepared_->Reset();
    prepared_.reset();
  } else {
    sqlite3_finalize(stmt_);
  }
  stmt_ = nullptr;
  connection_.reset();
  eof_ = bof_ = true;
}

sqlite3_stmt* Recordset::OpenStatement() const {
  if (!stmt_) throw Error("The recordset is not open.");
  return stmt_;
}

void Recordset::RequireRow() const {
  OpenStatement();
  if (eof_) throw Error("There is no current row: the recordset is at its end.");
}

void Recordset::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    eof_ = false;
  } else if (rc == SQLITE_DONE) {
    eof_ = true;
  } else {
    throw Error(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
  }
}

void Recordset::MoveNext() {
  RequireRow();
  Step();
}

bool Recordset::Eof() const {
  OpenStatement();
  return eof_;
}

bool Recordset::Bof() const {
  OpenStatement();
  return bof_;
}

int Recordset::FieldCount() const { return sqlite3_column_count(OpenStatement()); }

Variant Recordset::Field(int index) const {
  RequireRow();
  if (index < 0 || index >= sqlite3_column_count(stmt_))
    throw Error("There is no field number " + std::to_string(index) + " in the recordset.");
  switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_NULL:
      return Variant::Null();
    case SQLITE_INTEGER: {
      const sqlite3_int64 value = sqlite3_column_int64(stmt_, index);
      const char* declared = sqlite3_column_decltype(stmt_, index);
      if (declared && DataTypeOfDeclaration(declared) == adBoolean) return Variant(value != 0);
      return Variant(static_cast<std::int64_t>(value));
    }
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(stmt_, index));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
      if (!text) return Variant(std::string());
      return Variant(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, index))));
    }
  }
}

Variant Recordset::Field(const std::string& name) const {
  const int count = sqlite3_column_count(OpenStatement());
  for (int i = 0; i < count; ++i) {
    const std::string column = sqlite3_column_name(stmt_, i);
    if (column.size() == name.size() &&
        std::equal(column.begin(), column.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return Field(i);
  }
  throw Error("There is no field named \"" + name + "\" in the recordset.");
}

}  // namespace velt::provider
