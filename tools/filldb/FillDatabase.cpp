#include "tools/filldb/FillDatabase.h"

#include <sqlite3.h>

#include <filesystem>

#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "store/provider/Connection.h"
#include "store/provider/SqliteCalls.h"
#include "tools/filldb/ArticleText.h"

namespace velt::filldb {

namespace {

constexpr char kInsert[] =
    "INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS,KBPARENTS,GETBEGIN,GETEND) "
    "VALUES(?,?,?,?,?,?,?,?,?)";

void InsertRows(sqlite3* db, int rows, ArticleGenerator& generator) {
  provider::EngineStatement insert(db, kInsert);
  sqlite3_stmt* stmt = insert.Handle();
  for (int i = 0; i < rows; ++i) {
    const ArticleRow row = generator.Next();
    sqlite3_reset(stmt);
    insert.Bind(1, row.kbid).Bind(2, row.url).Bind(3, static_cast<long long>(row.resCode));
    insert.Bind(4, row.title).Bind(5, row.description).Bind(6, row.keywords).Bind(7, row.kbParents);
    insert.Bind(8, row.getBegin).Bind(9, row.getEnd);
    insert.Run();
  }
}

}  // namespace

FillResult FillDatabase(const std::string& path, int rows, std::uint32_t seed) {
  FillResult result;
  if (std::filesystem::exists(path)) {
    result.error = "The file '" + path + "' exists already; the filler makes new files only.";
    return result;
  }
  TDatabaseJet db;
  if (!db.Open("", "", path, result.error) ||
      !RunIndexUpkeep(db, [](const std::string&) {}, result.error))
    return result;
  ArticleGenerator generator(seed);
  sqlite3* handle = db.Connection->Handle();
  try {
    // A large cache keeps the indexes' pages in memory while they grow.
    provider::ExecEngineSql(handle, "PRAGMA cache_size=-262144; BEGIN");
    InsertRows(handle, rows, generator);
    provider::ExecEngineSql(handle, "COMMIT");
  } catch (const std::exception& e) {
    result.error = e.what();
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    return result;
  }
  db.Close();
  result.ok = true;
  result.rows = rows;
  result.rareHits = generator.RareHits();
  result.commonHits = generator.CommonHits();
  return result;
}

}  // namespace velt::filldb
