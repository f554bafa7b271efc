#include "store/provider/SearchIndex.h"

#include <algorithm>

#include "store/provider/FileMeta.h"
#include "store/provider/SearchText.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqlLexer.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

namespace {

// Merging an index rewrites what is alive in it. Once the entries removed
// since the last merge are twice the rows (two thirds of what the index
// holds is dead), the space given back outweighs that; a crawl that only
// adds rows removes one entry per row (the claim's, rewritten by the
// worker) and stays below.
constexpr long long kMergeWhenRemovedPerRow = 2;

std::string JoinColumns(const std::vector<std::string>& columns) {
  std::string joined;
  for (const std::string& column : columns) joined += (joined.empty() ? "" : ",") + column;
  return joined;
}

std::vector<std::string> SplitColumns(const std::string& joined) {
  std::vector<std::string> columns;
  std::size_t start = 0;
  while (start <= joined.size()) {
    const std::size_t comma = std::min(joined.find(',', start), joined.size());
    columns.push_back(joined.substr(start, comma - start));
    start = comma + 1;
  }
  return columns;
}

// The engine expression of a row's indexed text; `row` qualifies the
// columns (NEW, OLD or the table itself).
std::string IndexedTextOf(const SearchIndexDefinition& definition, const std::string& row) {
  std::string operands;
  for (const std::string& column : definition.columns)
    operands += (operands.empty() ? "" : ",") + row + "." + QuoteEngineName(column);
  return std::string(SearchTextFunction) + "(" + LeftFunction + "(" + ConcatFunction + "(" + operands +
         ")," + std::to_string(definition.maxChars) + "))";
}

std::string TriggerName(const std::string& table, const char* event) {
  return QuoteEngineName(std::string(MetaTablePrefix) + "search_" + event + "_" + table);
}

void CreateTriggers(sqlite3* db, const SearchIndexDefinition& definition) {
  const std::string index = QuoteEngineName(SearchIndexName(definition.table));
  const std::string table = QuoteEngineName(definition.table);
  const std::string addNew =
      "INSERT INTO " + index + "(rowid, body) VALUES(NEW.rowid, " + IndexedTextOf(definition, "NEW") + ");";
  // The index keeps no text, so removing a row repeats exactly what was
  // added for it.
  // The engine keeps what it removes until its parts are merged; the count
  // tells the close when a merge is worth its cost.
  const std::string removeOld = "INSERT INTO " + index + "(" + index + ", rowid, body) VALUES('delete', OLD.rowid, " +
                                IndexedTextOf(definition, "OLD") +
                                "); UPDATE __velt_search_removed SET removed = removed + 1 WHERE base_table = " +
                                QuoteEngineText(definition.table) + ";";
  std::string changed = "OLD.rowid IS NOT NEW.rowid";
  for (const std::string& column : definition.columns)
    changed += " OR OLD." + QuoteEngineName(column) + " IS NOT NEW." + QuoteEngineName(column) + " COLLATE BINARY";
  const std::string onInsert = TriggerName(definition.table, "insert");
  const std::string onDelete = TriggerName(definition.table, "delete");
  const std::string onUpdate = TriggerName(definition.table, "update");
  EngineStatement(db, "INSERT OR IGNORE INTO __velt_search_removed(base_table, removed) VALUES(?, 0)")
      .Bind(1, definition.table)
      .Run();
  ExecEngineSql(db, "DROP TRIGGER IF EXISTS " + onInsert + "; DROP TRIGGER IF EXISTS " + onDelete +
                        "; DROP TRIGGER IF EXISTS " + onUpdate + ";");
  ExecEngineSql(db, "CREATE TRIGGER " + onInsert + " AFTER INSERT ON " + table + " BEGIN " + addNew + " END;" +
                        "CREATE TRIGGER " + onDelete + " AFTER DELETE ON " + table + " BEGIN " + removeOld +
                        " END;" + "CREATE TRIGGER " + onUpdate + " AFTER UPDATE ON " + table + " WHEN " +
                        changed + " BEGIN " + removeOld + " " + addNew + " END;");
}

void ResetRemovedCount(sqlite3* db, const std::string& table) {
  EngineStatement(db, "INSERT OR REPLACE INTO __velt_search_removed(base_table, removed) VALUES(?, 0)")
      .Bind(1, table)
      .Run();
}

long long RowCount(sqlite3* db, const std::string& table) {
  EngineStatement query(db, "SELECT count(*) FROM " + QuoteEngineName(table));
  return query.Step() ? query.Integer(0) : 0;
}

bool IndexTableExists(sqlite3* db, const std::string& table) {
  EngineStatement query(db, "SELECT 1 FROM sqlite_schema WHERE type='table' AND name=? COLLATE NOCASE");
  query.Bind(1, SearchIndexName(table));
  return query.Step();
}

bool IsCurrent(sqlite3* db, const SearchIndexDefinition& definition) {
  const auto recorded = FindSearchIndexFor(db, definition.table);
  return recorded && recorded->keyColumn == definition.keyColumn && recorded->columns == definition.columns &&
         recorded->maxChars == definition.maxChars && IndexTableExists(db, definition.table);
}

// Returns the number of rows indexed.
long long Rebuild(sqlite3* db, const SearchIndexDefinition& definition) {
  const std::string index = QuoteEngineName(SearchIndexName(definition.table));
  const std::string table = QuoteEngineName(definition.table);
  ExecEngineSql(db, "DROP TABLE IF EXISTS " + index + "; CREATE VIRTUAL TABLE " + index +
                        " USING fts5(body, content='', detail=none, columnsize=0, "
                        "tokenize='trigram case_sensitive 1'); INSERT INTO " + index +
                        "(rowid, body) SELECT rowid, " + IndexedTextOf(definition, table) + " FROM " + table +
                        ";");
  const long long filled = sqlite3_changes64(db);
  ResetRemovedCount(db, definition.table);
  return filled;
}

// The engine's text of the view's definition; "" when there is no such view.
std::string ViewDefinition(sqlite3* db, const std::string& view) {
  EngineStatement query(db, "SELECT sql FROM sqlite_schema WHERE type='view' AND name=? COLLATE NOCASE");
  query.Bind(1, view);
  return query.Step() ? query.Text(0) : std::string();
}

void RecordRelation(sqlite3* db, const SearchIndexDefinition& definition, const std::string& relation,
                    const std::string* viewSql) {
  EngineStatement insert(db,
                         "INSERT OR REPLACE INTO __velt_search_relations(relation, base_table, key_column, "
                         "columns, max_chars, text_version, view_sql) VALUES(?,?,?,?,?,?,?)");
  insert.Bind(1, relation)
      .Bind(2, definition.table)
      .Bind(3, definition.keyColumn)
      .Bind(4, JoinColumns(definition.columns))
      .Bind(5, static_cast<long long>(definition.maxChars))
      .Bind(6, static_cast<long long>(SearchTextVersion));
  if (viewSql) insert.Bind(7, *viewSql);
  insert.Run();
}

void Record(sqlite3* db, const SearchIndexDefinition& definition) {
  EngineStatement(db, "DELETE FROM __velt_search_relations WHERE base_table=?").Bind(1, definition.table).Run();
  RecordRelation(db, definition, definition.table, nullptr);
  for (const SearchIndexView& view : definition.views) {
    const std::string current = ViewDefinition(db, view.name);
    if (!current.empty() && current == TranslateSql(view.createSql).sql)
      RecordRelation(db, definition, view.name, &current);
  }
}

}  // namespace

std::string SearchIndexName(const std::string& table) { return std::string(MetaTablePrefix) + "text_" + table; }

long long EnsureSearchIndex(sqlite3* db, const SearchIndexDefinition& definition) {
  long long filled = 0;
  RunAsOneWrite(db, [&] {
    if (!IsCurrent(db, definition)) filled = Rebuild(db, definition);
    CreateTriggers(db, definition);
    Record(db, definition);
  });
  return filled;
}

std::optional<SearchIndexDefinition> FindSearchIndexFor(sqlite3* db, const std::string& relation) {
  EngineStatement query(db,
                        "SELECT base_table, key_column, columns, max_chars FROM __velt_search_relations r "
                        "WHERE relation=? AND text_version=? AND (view_sql IS NULL OR view_sql=(SELECT sql "
                        "FROM sqlite_schema WHERE type='view' AND name=r.relation COLLATE NOCASE))");
  query.Bind(1, relation).Bind(2, static_cast<long long>(SearchTextVersion));
  if (!query.Step()) return std::nullopt;
  SearchIndexDefinition definition;
  definition.table = query.Text(0);
  definition.keyColumn = query.Text(1);
  definition.columns = SplitColumns(query.Text(2));
  definition.maxChars = static_cast<int>(query.Integer(3));
  return definition;
}

void MergeMostlyDeadSearchIndexes(sqlite3* db) {
  std::vector<std::pair<std::string, long long>> removedByTable;
  {
    EngineStatement query(db, "SELECT base_table, removed FROM __velt_search_removed WHERE removed > 0");
    while (query.Step()) removedByTable.emplace_back(query.Text(0), query.Integer(1));
  }
  for (const auto& entry : removedByTable) {
    const std::string& table = entry.first;  // named, not bound: lambdas may not capture a binding
    const long long removed = entry.second;
    if (!IndexTableExists(db, table) || removed < kMergeWhenRemovedPerRow * RowCount(db, table)) continue;
    const std::string index = QuoteEngineName(SearchIndexName(table));
    RunAsOneWrite(db, [&] {
      ExecEngineSql(db, "INSERT INTO " + index + "(" + index + ") VALUES('optimize');");
      ResetRemovedCount(db, table);
    });
  }
}

void ForgetSearchIndex(sqlite3* db, const std::string& relation) {
  bool ownsIndex = false;
  {
    EngineStatement owned(db, "SELECT 1 FROM __velt_search_relations WHERE base_table=?");
    ownsIndex = owned.Bind(1, relation).Step();
  }
  if (ownsIndex) {
    ExecEngineSql(db, "DROP TABLE IF EXISTS " + QuoteEngineName(SearchIndexName(relation)));
    EngineStatement(db, "DELETE FROM __velt_search_relations WHERE base_table=?").Bind(1, relation).Run();
    EngineStatement(db, "DELETE FROM __velt_search_removed WHERE base_table=?").Bind(1, relation).Run();
  }
  EngineStatement(db, "DELETE FROM __velt_search_relations WHERE relation=?").Bind(1, relation).Run();
}

}  // namespace velt::provider
