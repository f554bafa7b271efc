// The functions and the collation that translated statements rely on
// (SqlDialect.h), installed on one engine connection.
//
// Installs: the collation TextCollation, the database's text comparison
// (TextFolding.h); like(pattern, text),
// which the engine calls for every "x LIKE y" and which follows
// LikeMatcher.h (a malformed pattern fails the statement with a clear
// message); ConcatFunction and LeftFunction (LEFT counts characters, not
// bytes); SearchTextFunction, the folded text of the search index
// (SearchText.h). Call once per connection, before any statement; the functions
// keep no state beyond one statement. Everything the engine needs of the
// program's text rules is installed here and nowhere else, so any host of
// a connection (a loadable extension included) gets the same comparison.
#pragma once

struct sqlite3;

namespace velt::provider {

void InstallSqlFunctions(sqlite3* db);

}  // namespace velt::provider
