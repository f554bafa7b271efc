#include "store/provider/ColumnRules.h"

#include "store/provider/DataTypes.h"
#include "store/provider/FileMeta.h"
#include "store/provider/SqlLexer.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

std::vector<ColumnInfo> ReadColumns(sqlite3* db, const std::string& table) {
  EngineStatement query(db, "SELECT name, type, \"notnull\" FROM pragma_table_info(?)");
  query.Bind(1, table);
  std::vector<ColumnInfo> columns;
  while (query.Step()) columns.push_back({query.Text(0), query.Text(1), query.Integer(2) != 0});
  return columns;
}

namespace {

// "WHEN ... THEN RAISE(...)" branches for every rule of the table.
std::string RuleBranches(sqlite3* db, const std::string& table) {
  std::string branches;
  for (const ColumnInfo& column : ReadColumns(db, table)) {
    const std::string field = "'" + table + "." + column.name + "'";
    const std::string value = "NEW." + QuoteEngineName(column.name);
    if (auto size = TextSizeOfDeclaration(column.declaredType)) {
      branches += " WHEN length(" + value + ")>" + std::to_string(*size) + " THEN RAISE(ABORT," +
                  QuoteEngineText("The value for the field " + field + " is longer than its size of " +
                                  std::to_string(*size) + " characters.") +
                  ")";
    }
    if (IsTextDataType(DataTypeOfDeclaration(column.declaredType)) &&
        !ReadAllowZeroLength(db, table, column.name)) {
      branches += " WHEN typeof(" + value + ")='text' AND length(" + value + ")=0 THEN RAISE(ABORT," +
                  QuoteEngineText("The field " + field +
                                  " cannot hold a zero-length text; it does not allow zero length.") +
                  ")";
    }
  }
  return branches;
}

}  // namespace

void RebuildColumnRules(sqlite3* db, const std::string& table) {
  const std::string insertTrigger = QuoteEngineName(std::string(MetaTablePrefix) + "rules_insert_" + table);
  const std::string updateTrigger = QuoteEngineName(std::string(MetaTablePrefix) + "rules_update_" + table);
  ExecEngineSql(db, "DROP TRIGGER IF EXISTS " + insertTrigger + "; DROP TRIGGER IF EXISTS " +
                        updateTrigger + ";");
  const std::string branches = RuleBranches(db, table);
  if (branches.empty()) return;
  const std::string body = " ON " + QuoteEngineName(table) + " BEGIN SELECT CASE" + branches + " END; END;";
  ExecEngineSql(db, "CREATE TRIGGER " + insertTrigger + " BEFORE INSERT" + body + "CREATE TRIGGER " +
                        updateTrigger + " BEFORE UPDATE" + body);
}

}  // namespace velt::provider
