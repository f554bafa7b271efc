// Reads how the engine runs a statement of the dialect on a session: the
// lines of its query plan, and the number of engine steps one run takes
// (a measure of work that does not depend on the machine's speed).
#pragma once

#include <sqlite3.h>

#include <string>

#include "store/DatabaseIO.h"
#include "store/provider/Connection.h"
#include "store/provider/SearchQuery.h"
#include "store/provider/SqlDialect.h"
#include "store/provider/SqliteCalls.h"

namespace velt::testing {

// The engine text that a query of the dialect runs as.
inline std::string EngineQueryText(TDatabase& db, const std::string& sql) {
  auto searched = provider::RewriteSearchQuery(db.Connection->Handle(), sql);
  return searched ? *searched : provider::TranslateSql(sql).sql;
}

inline std::string QueryPlan(TDatabase& db, const std::string& sql) {
  provider::EngineStatement plan(db.Connection->Handle(), "EXPLAIN QUERY PLAN " + EngineQueryText(db, sql));
  std::string lines;
  while (plan.Step()) lines += plan.Text(3) + "\n";
  return lines;
}

inline int EngineSteps(TDatabase& db, const std::string& sql) {
  provider::EngineStatement query(db.Connection->Handle(), EngineQueryText(db, sql));
  query.Run();
  return sqlite3_stmt_status(query.Handle(), SQLITE_STMTSTATUS_VM_STEP, 0);
}

}  // namespace velt::testing
