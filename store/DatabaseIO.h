// The program's one road to its index database.
//
// TDatabase is a session over one connection of the store's provider
// (store/provider/): open, reopen, close, run statements, list the catalog's
// tables and walk query results. TDatabaseJet is the session for the
// program's ".mdb" file: it creates the file when it is missing, compacts it,
// and repairs text columns so that nullable ones accept zero-length text.
//
// Error contract. Operations returning bool capture every error and report
// it through the result and the error text (the provider's message; for
// statements message + ";" + statement). The error text is written only on
// failure. The remaining operations (Close, GetTableNames, CloseQuery, Next,
// Eof, Bof, IsEmpty, FieldCount, FieldByIndex, FieldByName, IsTextColumn and
// the table lookup of AllowZeroLength) raise velt::Error with the provider's
// message.
//
// Threads. A session has no lock of its own. The program's one session,
// `Database`, is shared by every thread; each use (one statement, one list,
// or a query from OpenQuery to CloseQuery) must hold `DatabaseLock`. A
// Recordset belongs to the caller that opened it and must be closed or
// destroyed under the same hold of the lock.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CriticalSection.h"
#include "store/FileSystem.h"
#include "store/Variant.h"

namespace velt {

namespace provider {
class Catalog;
class Column;
class Connection;
class Engine;
class PreparedStatement;
class Recordset;
struct SearchIndexDefinition;
}  // namespace provider

// SQL value builder: the text in double quotes, inner double quotes doubled.
std::string SqlQuote(std::string_view text);

// The value, or the default when the value is Null. Empty stays Empty.
Variant NullTo(const Variant& value, const Variant& def);

// Whether a statement's error text says that the file's disk is full: a
// write may succeed again once space returns.
bool IsStoreFullError(const std::string& error);

// Full path of a new, empty file with a unique name ("!md" + hex + ".tmp")
// in `folder` (which ends with a path separator); "" when none can be made.
std::string MakeTempFileName(const std::string& folder);

// Removes the copies (and their journals) that compactions killed midway
// left in the database's folder: names as MakeTempFileName gives them, and
// content that is one of this program's databases, or an empty or
// not-yet-begun copy; other files stay. It runs while no compaction of the
// folder is under way (FolderLock.h), so no copy is still being written.
// Meant for start-up. False with the reason when one could not be removed.
bool RemoveCompactionLeftovers(const std::string& databasePath, std::string& error);

// A query result held by the caller. Default-constructed it is empty; after
// OpenQuery it holds a provider recordset (which may not be open when
// OpenQuery failed). Move-only.
class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;

  bool IsAssigned() const { return impl_ != nullptr; }

 private:
  friend class TDatabase;
  provider::Recordset& Get();  // raises when empty
  std::unique_ptr<provider::Recordset> impl_;
};

// A statement that a caller runs again and again with the same text. The
// session translates and compiles it on its first run and after each
// change of connection (Open, Reopen, Compact), and only runs it again in
// between. Plain statements only (queries, row changes, transaction
// control); a query run this way is not narrowed by a search index. Belongs
// to its caller, who runs and destroys it under DatabaseLock.
class PreparedSql {
 public:
  explicit PreparedSql(std::string sql);
  ~PreparedSql();
  PreparedSql(PreparedSql&&) noexcept;
  PreparedSql& operator=(PreparedSql&&) noexcept;

  const std::string& Text() const { return sql_; }

 private:
  friend class TDatabase;
  std::string sql_;
  std::shared_ptr<provider::PreparedStatement> impl_;
};

class TDatabase {
 public:
  TDatabase();
  virtual ~TDatabase();  // closes the session; errors are dropped here
  TDatabase(const TDatabase&) = delete;
  TDatabase& operator=(const TDatabase&) = delete;

  virtual std::string BuildConnectionString(const std::string& user, const std::string& password,
                                            const std::string& dataSource) const = 0;
  // Closes first (errors of that step are raised), then connects. Never
  // creates a file. On failure the session is closed and all fields empty.
  virtual bool Open(const std::string& user, const std::string& password,
                    const std::string& dataSource, std::string& error);
  // Close and Open again with the stored user, password and data source.
  virtual bool Reopen(std::string& error);
  void Close();

  bool ExecSQL(const std::string& sql, std::string& error);
  // Runs the non-empty lines in order and stops at the first failure. False,
  // with the error text untouched, when no line is non-empty.
  bool ExecSQLList(const std::vector<std::string>& sqls, std::string& error);
  // Appends the names of all tables and views, in the catalog's order.
  void GetTableNames(std::vector<std::string>& names);

  bool OpenQuery(const std::string& sql, Recordset& rs, std::string& error);
  // The same for a statement kept prepared; errors as for the text.
  bool ExecSQL(PreparedSql& statement, std::string& error);
  bool OpenQuery(PreparedSql& statement, Recordset& rs, std::string& error);
  void CloseQuery(Recordset& rs);
  void Next(Recordset& rs);
  bool Eof(Recordset& rs);
  bool Bof(Recordset& rs);
  bool IsEmpty(Recordset& rs);
  int FieldCount(Recordset& rs);
  Variant FieldByIndex(Recordset& rs, int index);
  Variant FieldByName(Recordset& rs, const std::string& name);

  // Provider objects of the current connection; empty when not connected.
  std::unique_ptr<provider::Catalog> Catalog;
  std::shared_ptr<provider::Connection> Connection;
  std::string UserName;
  std::string Password;
  std::string DataSource;
  bool Connected = false;

 protected:
  // Open's steps after Close; `createMissing` makes the file when absent.
  bool OpenSession(const std::string& user, const std::string& password,
                   const std::string& dataSource, bool createMissing, std::string& error);

 private:
  // The statement compiled for the current connection; raises when closed.
  std::shared_ptr<provider::PreparedStatement> Compiled(PreparedSql& statement);
};

class TDatabaseJet : public TDatabase {
 public:
  // `fileSystem` serves the temporary-file, delete and rename steps of
  // Compact; it must outlive the session. The default is the real one.
  explicit TDatabaseJet(FileSystem& fileSystem = DefaultFileSystem());
  ~TDatabaseJet() override;

  std::string BuildConnectionString(const std::string& user, const std::string& password,
                                    const std::string& dataSource) const override;
  // Creates the file first when it does not exist.
  bool Open(const std::string& user, const std::string& password, const std::string& dataSource,
            std::string& error) override;
  // Opens an existing file only, as the base session does, and as every
  // open of this session does, only while no compaction replaces it.
  bool OpenExisting(const std::string& user, const std::string& password, const std::string& dataSource,
                    std::string& error);

  // Leaves the file with no free pages and with `newPassword`, at a cost
  // that follows the free pages rather than the file's size: nothing when
  // none is free, otherwise free pages are given back in place, or, when
  // many are free or the file cannot give them back in place, a compacted
  // copy is written beside the file (named by MakeTempFileName) and
  // renamed over it. The file is held alone throughout (FolderLock.h);
  // when another session holds it the step is skipped with an error. The
  // file stays whole whenever any step fails. Returns whether the session
  // is open again; a compaction error is in `error` even then.
  bool Compact(const std::string& newPassword, std::string& error);
  bool Compact(std::string& error);  // keeps the stored password

  static bool IsTextColumn(const provider::Column& column);
  // Lets every nullable text column of the table hold zero-length text.
  bool AllowZeroLength(const std::string& tableName, std::string& error);
  // Creates, or renews when its definition changed, the index that lets
  // LIKE searches over the definition's text skip rows that cannot match
  // (store/provider/SearchIndex.h). Building it over a table that already
  // holds many rows takes a while (minutes at 900,000 rows); `filled`
  // tells how many rows were indexed anew. No other use of the session may
  // run meanwhile, on any thread.
  bool EnsureSearchIndex(const provider::SearchIndexDefinition& definition, long long& filled,
                         std::string& error);

 private:
  // Opens while no compaction of the folder is under way (FolderLock.h).
  bool OpenBesideCompactions(const std::string& user, const std::string& password, const std::string& path,
                             bool createMissing, std::string& error);
  // Compact's work while the folder is held; true when the file is done.
  bool CompactAlone(const std::string& user, const std::string& password, const std::string& targetPassword,
                    const std::string& path, std::string& error);
  bool ReplaceWithCopy(provider::Engine& engine, const std::string& user, const std::string& targetPassword,
                       const std::string& path, std::string& error);

  FileSystem& fileSystem_;
};

extern CriticalSection DatabaseLock;
extern std::unique_ptr<TDatabaseJet> Database;

}  // namespace velt
