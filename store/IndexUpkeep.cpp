#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <thread>

#include "platform/Error.h"
#include "store/IndexTable.h"
#include "store/provider/Catalog.h"
#include "store/provider/Connection.h"
#include "store/provider/SearchIndex.h"

namespace velt {

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
}

// The search's text (BuildSearchCondition) over the table and its view.
provider::SearchIndexDefinition ArticleSearchIndex() {
  return {IndexTableName,
          "KBID",
          {SearchableColumns.begin(), SearchableColumns.end()},
          SearchableTextLength,
          {{IndexViewName, SqlCreateIndexView}}};
}

bool EnsureDispatchIndex(TDatabaseJet& db, std::string& error) {
  try {
    if (!db.Catalog) throw Error("The catalog is not connected to a database.");
    const auto names = db.Catalog->TableByName(IndexTableName).IndexNames();
    return (Contains(names, DispatchIndexName) || db.ExecSQL(SqlCreateDispatchIndex, error)) &&
           (Contains(names, RefreshIndexName) || db.ExecSQL(SqlCreateRefreshIndex, error));
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

// Runs `work` on a thread of its own and calls `keepAlive` here until it
// has ended; without `keepAlive` it runs `work` here. When `keepAlive`
// answers false, `interrupt` cuts the work short and the answer is false.
bool RunKeepingAlive(const std::function<void()>& work, const std::function<bool()>& keepAlive,
                     const std::function<void()>& interrupt) {
  if (!keepAlive) {
    work();
    return true;
  }
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
  });
  bool goOn = true;
  while (!done) {
    if (goOn) goOn = keepAlive();
    // Again until the work ends: an interruption reaches only a statement
    // under way, not one that starts after it.
    if (!goOn) interrupt();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  worker.join();
  return goOn;
}

}  // namespace

bool RunIndexUpkeep(TDatabaseJet& db, const std::function<void(const std::string&)>& logInfo,
                    std::string& error, const std::function<bool()>& keepAlive) {
  std::vector<std::string> names;
  try {
    db.GetTableNames(names);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  const bool tableCreated = !Contains(names, IndexTableName);
  if (tableCreated) {
    if (!db.ExecSQL(SqlCreateIndexTable, error)) return false;
    logInfo(std::string("TABLE CREATED:") + IndexTableName);
  }
  const bool viewCreated = !Contains(names, IndexViewName);
  if (viewCreated) {
    if (!db.ExecSQL(SqlCreateIndexView, error)) return false;
    logInfo(std::string("VIEW CREATED:") + IndexViewName);
  }
  if ((tableCreated || viewCreated) && !db.Reopen(error)) return false;
  if (!EnsureDispatchIndex(db, error)) return false;
  bool ensured = false;
  long long filled = 0;
  const bool wanted = RunKeepingAlive([&] { ensured = db.EnsureSearchIndex(ArticleSearchIndex(), filled, error); },
                                      keepAlive, [&] {
                                        if (db.Connection) db.Connection->Interrupt();
                                      });
  if (!wanted) {
    // Even when the step got through before the interruption: the rest
    // of the start-up is not wanted either.
    error = kUpkeepAbandonedText;
    return false;
  }
  if (!ensured) return false;
  if (filled > 0) logInfo(std::string("SEARCH INDEX REBUILT:") + IndexTableName);
  try {
    if (!db.AllowZeroLength(IndexTableName, error)) return false;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  logInfo(std::string("SYNC NULLABLE AND ALLOWZEROLENGTH:") + IndexTableName);
  if (!db.ExecSQL(SqlResetClaimedRows, error)) return false;
  logInfo(std::string("DELETE JUNK RECORDS:") + SqlResetClaimedRows);
  return true;
}

}  // namespace velt
