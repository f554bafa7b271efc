// The column rules that the engine does not enforce by itself, kept as
// triggers generated from the schema and the provider's bookkeeping:
// a "TEXT(n)" column refuses text longer than n characters, and a text
// column whose "allow zero length" setting is false refuses "".
//
// Call RebuildColumnRules after a table is created and after a setting
// changes. Functions act on one connection handle, raise velt::Error on
// engine errors and add no locking.
#pragma once

#include <string>
#include <vector>

struct sqlite3;

namespace velt::provider {

struct ColumnInfo {
  std::string name;
  std::string declaredType;
  bool notNull = false;
};

// The columns of a table or view in their order; empty when there is none.
std::vector<ColumnInfo> ReadColumns(sqlite3* db, const std::string& table);

void RebuildColumnRules(sqlite3* db, const std::string& table);

}  // namespace velt::provider
