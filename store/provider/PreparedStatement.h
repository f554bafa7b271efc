// A statement of the dialect translated and compiled once and then run as
// often as needed, for statements that a caller sends again and again with
// the same text.
//
// Plain statements only: queries, row changes and transaction control.
// Schema changes are refused, as they need the bookkeeping that
// Connection::Execute adds. A query prepared here is not narrowed by a
// search index (SearchQuery.h). The statement keeps its connection alive;
// after the connection has been closed every run raises. Errors raise
// velt::Error with the engine's message. One user at a time.
#pragma once

#include <memory>
#include <string>

struct sqlite3_stmt;

namespace velt::provider {

class Connection;

class PreparedStatement {
 public:
  PreparedStatement(const std::string& sql, std::shared_ptr<Connection> connection);
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  const std::shared_ptr<Connection>& Owner() const { return connection_; }
  // The compiled statement, ready to run from its start; raises when the
  // connection has been closed since.
  sqlite3_stmt* Start();
  // Runs it to its end; any rows are dropped.
  void Run();
  // Makes it ready for the next run.
  void Reset();

 private:
  std::shared_ptr<Connection> connection_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace velt::provider
