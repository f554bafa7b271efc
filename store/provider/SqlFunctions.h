// The functions and the collation that translated statements rely on
// (SqlDialect.h), installed on one engine connection.
//
// Installs: the case-blind collation TextCollation; like(pattern, text),
// which the engine calls for every "x LIKE y" and which follows
// LikeMatcher.h (a malformed pattern fails the statement with a clear
// message); ConcatFunction and LeftFunction (LEFT counts characters, not
// bytes); SearchTextFunction, the folded text of the search index
// (SearchText.h). Call once per connection, before any statement; the functions
// keep no state beyond one statement.
#pragma once

struct sqlite3;

namespace velt::provider {

void InstallSqlFunctions(sqlite3* db);

}  // namespace velt::provider
