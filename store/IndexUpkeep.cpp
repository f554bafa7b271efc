#include <algorithm>
#include <cctype>

#include "platform/Error.h"
#include "store/IndexTable.h"
#include "store/provider/Catalog.h"
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
  return {IndexTableName, "KBID", {"KBID", "URL", "TITLE", "DESCRIPTION", "KEYWORDS"}, 5000, {IndexViewName}};
}

bool EnsureIndexes(TDatabaseJet& db, std::string& error) {
  try {
    if (!db.Catalog) throw Error("The catalog is not connected to a database.");
    if (!Contains(db.Catalog->TableByName(IndexTableName).IndexNames(), DispatchIndexName) &&
        !db.ExecSQL(SqlCreateDispatchIndex, error))
      return false;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return db.EnsureSearchIndex(ArticleSearchIndex(), error);
}

}  // namespace

bool RunIndexUpkeep(TDatabaseJet& db, const std::function<void(const std::string&)>& logInfo,
                    std::string& error) {
  std::vector<std::string> names;
  try {
    db.GetTableNames(names);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  bool created = false;
  if (!Contains(names, IndexTableName)) {
    if (!db.ExecSQL(SqlCreateIndexTable, error)) return false;
    logInfo(std::string("TABLE CREATED:") + IndexTableName);
    created = true;
  }
  if (!Contains(names, IndexViewName)) {
    if (!db.ExecSQL(SqlCreateIndexView, error)) return false;
    logInfo(std::string("VIEW CREATED:") + IndexViewName);
    created = true;
  }
  if (created && !db.Reopen(error)) return false;
  if (!EnsureIndexes(db, error)) return false;
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
