// One open connection to a database file of the provider.
//
// The engine underneath is SQLite in serialized mode, so the handle may be
// used from any thread; the program still uses it from one thread at a
// time under its own lock. Files run in WAL journal mode with synchronous
// NORMAL: a commit is atomic and survives a crash of the program; after a
// power loss the last commits may be missing but the file is never
// damaged.
//
// Every statement goes through SqlDialect.h first. Errors raise
// velt::Error with the engine's or the provider's message. Shared
// connections leave their checkpoints to a thread of their own
// (BackgroundCheckpoint.h), so that commits seldom wait for one. Close may be
// called while recordsets are open; they stay readable until closed.
#pragma once

#include <memory>
#include <string>

#include "store/provider/ConnectionString.h"

struct sqlite3;

namespace velt::provider {

class BackgroundCheckpoint;

class Connection {
 public:
  // Opens an existing file; checks that it is a database and that the
  // password matches.
  static std::shared_ptr<Connection> OpenFile(const ConnectionSettings& settings);
  // Makes a new, empty database with the settings' password; refuses a path
  // where a file exists. New files reclaim free pages in place (incremental
  // auto-vacuum), so that compaction need not rewrite them.
  static std::shared_ptr<Connection> CreateFile(const ConnectionSettings& settings);
  // Opens an existing file for this connection alone: until it is closed no
  // other connection, in this process or another, can read or write the
  // file. Nothing (a null pointer) when another connection holds the file
  // now; the call never waits for it. The file keeps its journal mode.
  static std::shared_ptr<Connection> OpenExclusive(const ConnectionSettings& settings);

  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs one statement of the dialect; any rows it yields are dropped.
  void Execute(const std::string& sql);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }
  const std::string& Path() const { return path_; }
  // The engine handle; raises when the connection is closed.
  sqlite3* Handle() const;
  // Makes the statement that another thread runs on this connection end
  // with an error, which undoes the transaction around it; does nothing
  // when none runs. Any thread, while the connection stays open.
  void Interrupt();

 private:
  Connection(sqlite3* db, std::string path);
  // With `exclusive`, null when another connection holds the file.
  static std::shared_ptr<Connection> Prepare(sqlite3* db, const std::string& path, bool exclusive);
  // Opens, checks the password; null as Prepare.
  static std::shared_ptr<Connection> OpenExisting(const ConnectionSettings& settings, bool exclusive);

  // Files opened for sharing, whose log may grow while the program writes.
  void StartBackgroundCheckpoint();

  sqlite3* db_;
  std::string path_;
  std::unique_ptr<BackgroundCheckpoint> checkpoint_;
};

}  // namespace velt::provider
