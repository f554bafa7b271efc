// Small helpers over the engine's C interface, shared by the provider.
//
// Every helper raises velt::Error with the engine's message on failure.
// They act on one connection handle and add no locking of their own.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <string>
#include <string_view>

namespace velt::provider {

[[noreturn]] void ThrowEngineError(sqlite3* db);

// The engine's message for a write that found the disk full.
std::string_view DiskFullMessage();

// Runs statements that return no rows the caller needs.
void ExecEngineSql(sqlite3* db, const std::string& sql);

// Runs `work` so that all it writes commits together or not at all. Outside
// a transaction it takes the write lock up front (BEGIN IMMEDIATE): a read
// that later turns into a write could otherwise fail at once with "database
// is locked" when another process wrote meanwhile, without waiting for the
// busy time-out. Inside a caller's transaction it nests as a savepoint.
void RunAsOneWrite(sqlite3* db, const std::function<void()>& work);

// One prepared statement, finalized on destruction.
class EngineStatement {
 public:
  EngineStatement(sqlite3* db, std::string_view sql);
  ~EngineStatement();
  EngineStatement(const EngineStatement&) = delete;
  EngineStatement& operator=(const EngineStatement&) = delete;

  EngineStatement& Bind(int index, std::string_view text);
  EngineStatement& Bind(int index, long long value);
  // True while a row is available; raises on an error.
  bool Step();
  // Steps until done.
  void Run();
  std::string Text(int column) const;
  long long Integer(int column) const;
  sqlite3_stmt* Handle() const { return stmt_; }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace velt::provider
