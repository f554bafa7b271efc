#include "tests/crawler/TestDatabase.h"

#include <gtest/gtest.h>

#include <random>

#include "store/IndexTable.h"

namespace velt::testing {
namespace {

std::optional<std::string> TextOrNull(const Variant& value) {
  if (value.IsNull()) return std::nullopt;
  return value.AsText();
}

void OpenWithUpkeep(const std::filesystem::path& file, const std::string& createTableSql = "") {
  std::string error;
  Database = std::make_unique<TDatabaseJet>();
  ASSERT_TRUE(Database->Open("", "", file.string(), error)) << error;
  if (!createTableSql.empty()) {
    ASSERT_TRUE(Database->ExecSQL(createTableSql, error)) << error;
  }
  ASSERT_TRUE(RunIndexUpkeep(*Database, [](const std::string&) {}, error)) << error;
}

}  // namespace

TestDatabase::TestDatabase(const std::string& createTableSql) {
  std::random_device seed;
  folder_ = std::filesystem::temp_directory_path() / ("velt-crawler-" + std::to_string(seed()));
  std::filesystem::create_directories(folder_);
  OpenWithUpkeep(folder_ / "index.mdb", createTableSql);
}

TestDatabase::~TestDatabase() {
  Database.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TestDatabase::Exec(const std::string& sql) {
  CriticalSectionGuard hold(DatabaseLock);
  std::string error;
  EXPECT_TRUE(Database->ExecSQL(sql, error)) << error;
}

void TestDatabase::InsertRow(const std::string& kbid, const char* resCode) {
  Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(" + SqlQuote(kbid) + "," + SqlQuote("http://x/" + kbid) +
       "," + resCode + ")");
}

std::vector<Row> TestDatabase::Rows() {
  CriticalSectionGuard hold(DatabaseLock);
  std::vector<Row> rows;
  Recordset rs;
  std::string error;
  const std::string sql =
      "SELECT KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS,KBPARENTS,GETBEGIN,GETEND FROM VELTINDEX ORDER BY KBID";
  EXPECT_TRUE(Database->OpenQuery(sql, rs, error)) << error;
  if (!rs.IsAssigned()) return rows;
  for (; !Database->Eof(rs); Database->Next(rs)) {
    Row row;
    row.kbid = Database->FieldByName(rs, "KBID").AsText();
    row.url = Database->FieldByName(rs, "URL").AsText();
    const Variant code = Database->FieldByName(rs, "RESCODE");
    if (!code.IsNull()) row.resCode = code.AsInteger();
    row.title = TextOrNull(Database->FieldByName(rs, "TITLE"));
    row.description = TextOrNull(Database->FieldByName(rs, "DESCRIPTION"));
    row.keywords = TextOrNull(Database->FieldByName(rs, "KEYWORDS"));
    row.kbParents = TextOrNull(Database->FieldByName(rs, "KBPARENTS"));
    row.getBegin = TextOrNull(Database->FieldByName(rs, "GETBEGIN"));
    row.getEnd = TextOrNull(Database->FieldByName(rs, "GETEND"));
    rows.push_back(std::move(row));
  }
  Database->CloseQuery(rs);
  return rows;
}

void TestDatabase::Restart() {
  Database.reset();
  OpenWithUpkeep(folder_ / "index.mdb");
}

}  // namespace velt::testing
