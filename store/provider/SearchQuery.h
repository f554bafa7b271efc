// Runs the program's search statements through the search index.
//
// A statement of the form
//   SELECT c1, c2, ... FROM r WHERE (LEFT(a & b & ..., n) LIKE "p1") AND (...)
// over a relation r that a search index serves (SearchIndex.h), with the
// index's columns and n no larger than its length, is given an extra
// condition that keeps only rows holding every trigram of the patterns'
// plain runs (SearchText.h), and is ordered by the index's key. The LIKE
// conditions stay and decide: the rows are exactly those of the plain
// statement, in key order (the order the plain statement yields through
// the table's indexes, now promised). Without usable runs only the order
// is added.
//
// Any other statement gives nothing and runs as translated (SqlDialect.h),
// as does a statement with a malformed pattern, so that its error is the
// usual one. Acts on one connection handle; raises velt::Error on engine
// errors.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace velt::provider {

std::optional<std::string> RewriteSearchQuery(sqlite3* db, std::string_view sql);

}  // namespace velt::provider
