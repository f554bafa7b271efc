#include "store/provider/FileMeta.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdio>

#include "store/provider/SqliteCalls.h"

namespace velt::provider {

bool IsMetaTableName(std::string_view name) {
  const std::string_view prefix = MetaTablePrefix;
  if (name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != prefix[i]) return false;
  }
  return true;
}

bool HoldsProviderBookkeeping(const std::string& path) {
  // An immutable file is read without locks and without looking for a
  // journal to roll back: the file is taken exactly as it lies.
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      uri += escaped;
    } else {
      uri += c;
    }
  }
  uri += "?immutable=1";
  sqlite3* db = nullptr;
  bool holds = false;
  if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_schema WHERE type='table' AND name='__velt_settings'", -1,
                           &query, nullptr) == SQLITE_OK)
      holds = sqlite3_step(query) == SQLITE_ROW;
    sqlite3_finalize(query);
  }
  sqlite3_close_v2(db);
  return holds;
}

namespace {

// Files of earlier versions list the relations a search index serves
// without the view definitions; such a list is dropped (the start-up upkeep
// then renews the index and lists them again).
void DropRelationsWithoutViewDefinitions(sqlite3* db) {
  bool hasTable = false;
  bool hasDefinitions = false;
  EngineStatement columns(db, "SELECT name FROM pragma_table_info('__velt_search_relations')");
  while (columns.Step()) {
    hasTable = true;
    hasDefinitions = hasDefinitions || columns.Text(0) == "view_sql";
  }
  if (hasTable && !hasDefinitions) ExecEngineSql(db, "DROP TABLE __velt_search_relations");
}

}  // namespace

void EnsureMetaTables(sqlite3* db) {
  DropRelationsWithoutViewDefinitions(db);
  ExecEngineSql(db,
                "CREATE TABLE IF NOT EXISTS __velt_settings("
                "name TEXT PRIMARY KEY, value TEXT NOT NULL);"
                "CREATE TABLE IF NOT EXISTS __velt_columns("
                "table_name TEXT NOT NULL COLLATE NOCASE, column_name TEXT NOT NULL COLLATE NOCASE, "
                "allow_zero_length INTEGER NOT NULL, PRIMARY KEY(table_name, column_name));"
                "CREATE TABLE IF NOT EXISTS __velt_search_relations("
                "relation TEXT PRIMARY KEY COLLATE NOCASE, base_table TEXT NOT NULL COLLATE NOCASE, "
                "key_column TEXT NOT NULL, columns TEXT NOT NULL, max_chars INTEGER NOT NULL, "
                "text_version INTEGER NOT NULL, view_sql TEXT);"
                "CREATE TABLE IF NOT EXISTS __velt_search_removed("
                "base_table TEXT PRIMARY KEY COLLATE NOCASE, removed INTEGER NOT NULL);");
}

std::string ReadDatabasePassword(sqlite3* db) {
  EngineStatement query(db, "SELECT value FROM __velt_settings WHERE name='password'");
  return query.Step() ? query.Text(0) : std::string();
}

void WriteDatabasePassword(sqlite3* db, const std::string& password) {
  EngineStatement(db, "INSERT OR REPLACE INTO __velt_settings(name, value) VALUES('password', ?)")
      .Bind(1, password)
      .Run();
}

bool ReadAllowZeroLength(sqlite3* db, const std::string& table, const std::string& column) {
  EngineStatement query(db,
                        "SELECT allow_zero_length FROM __velt_columns "
                        "WHERE table_name=? AND column_name=?");
  query.Bind(1, table).Bind(2, column);
  return query.Step() && query.Integer(0) != 0;
}

void WriteAllowZeroLength(sqlite3* db, const std::string& table, const std::string& column,
                          bool allow) {
  EngineStatement(db,
                  "INSERT OR REPLACE INTO __velt_columns(table_name, column_name, allow_zero_length) "
                  "VALUES(?, ?, ?)")
      .Bind(1, table)
      .Bind(2, column)
      .Bind(3, allow ? 1LL : 0LL)
      .Run();
}

void ForgetTableSettings(sqlite3* db, const std::string& table) {
  EngineStatement(db, "DELETE FROM __velt_columns WHERE table_name=?").Bind(1, table).Run();
}

}  // namespace velt::provider
