// A forward-only, read-only result of one query.
//
// Open runs the query and stands on its first row. Eof is true past the
// last row, Bof only when the result has no row at all. Reading fields or
// moving on at Eof raises velt::Error, as does any use after Close (or
// before a successful Open). The recordset keeps its connection alive and
// must be used by one thread at a time.
#pragma once

#include <memory>
#include <string>

#include "store/Variant.h"

struct sqlite3_stmt;

namespace velt::provider {

class Connection;
class PreparedStatement;

class Recordset {
 public:
  Recordset() = default;
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  void Open(const std::string& sql, const std::shared_ptr<Connection>& connection);
  // Runs a prepared query; Close leaves it ready for its next run.
  void Open(std::shared_ptr<PreparedStatement> statement);
  void Close();
  void MoveNext();
  bool Eof() const;
  bool Bof() const;
  int FieldCount() const;
  Variant Field(int index) const;
  Variant Field(const std::string& name) const;

 private:
  sqlite3_stmt* OpenStatement() const;
  void RequireRow() const;
  void Step();
  void StandOnFirstRow();

  std::shared_ptr<Connection> connection_;
  std::shared_ptr<PreparedStatement> prepared_;  // set when stmt_ is borrowed from it
  sqlite3_stmt* stmt_ = nullptr;
  bool eof_ = true;
  bool bof_ = true;
};

}  // namespace velt::provider
