// The search index of a table: a full-text index of trigrams over the
// folded searchable text of every row (SearchText.h), kept in step with
// the table by triggers, and the record of which relations it serves.
//
// The searchable text of a row is LEFT(c1 & c2 & ..., maxChars) over the
// definition's columns, as the program's search writes it. The index is
// stored in hidden tables (MetaTablePrefix) beside the table, holds no
// copy of the text, and is keyed by the table's rowid, which compaction
// keeps (Engine.h). A view is served only while the engine holds it as
// its definition's statement creates it, whose rows are rows of the table
// with the same key and column values; a view defined otherwise, or
// changed later, is searched by plain scan.
//
// Functions act on one connection handle, raise velt::Error on engine
// errors and add no locking; EnsureSearchIndex changes the file
// atomically (all or nothing).
#pragma once

#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace velt::provider {

// A view over the table, with the statement (in the program's dialect)
// that creates it.
struct SearchIndexView {
  std::string name;
  std::string createSql;
};

struct SearchIndexDefinition {
  std::string table;
  std::string keyColumn;  // unique in the table
  std::vector<std::string> columns;
  int maxChars = 0;
  std::vector<SearchIndexView> views;  // served besides the table
};

// The engine name of the index over `table`.
std::string SearchIndexName(const std::string& table);

// Creates the index when it is missing or was built for another
// definition or other folding rules (filling it from the table's rows,
// which takes minutes on a table of 900,000 rows), renews
// its triggers, and records the relations it serves. Returns how many rows
// were indexed anew (0 when the index was up to date). Needs the
// connection to itself while it runs.
long long EnsureSearchIndex(sqlite3* db, const SearchIndexDefinition& definition);

// The definition whose index serves `relation` (names compared without
// regard to letter case); nothing when none does, or when `relation` is a
// view whose definition is no longer the recorded one. `views` is not
// filled.
std::optional<SearchIndexDefinition> FindSearchIndexFor(sqlite3* db, const std::string& relation);

// Merges the parts of each index in which the entries removed since its
// last merge (deleted and rewritten rows) are a large share, so that the
// space they hold becomes free pages; other indexes are left alone. Each
// merge is one write, all or nothing.
void MergeMostlyDeadSearchIndexes(sqlite3* db);

// After `relation` was dropped: a table loses its index, a view stops
// being served.
void ForgetSearchIndex(sqlite3* db, const std::string& relation);

}  // namespace velt::provider
