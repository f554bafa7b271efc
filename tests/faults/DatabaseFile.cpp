#include "tests/faults/DatabaseFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "store/provider/SqlFunctions.h"

namespace velt::faults {
namespace {

// Opened for writing even to read, as the program's next start opens it: a
// run killed in exclusive locking mode leaves a log without its index,
// which only a writer may recover.
class EngineFile {
 public:
  explicit EngineFile(const std::filesystem::path& file) {
    constexpr int flags = SQLITE_OPEN_READWRITE;
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db_, flags, nullptr), SQLITE_OK) << file;
    sqlite3_busy_timeout(db_, 10000);
    // The schema names the store's collation; checks and writes need it.
    provider::InstallSqlFunctions(db_);
  }
  ~EngineFile() { sqlite3_close_v2(db_); }
  sqlite3* Handle() const { return db_; }

  // Calls `row` for each row of the query.
  template <typename RowFunction>
  void Query(const char* sql, RowFunction row) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) row(stmt);
    EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return text ? text : "";
}

}  // namespace

RowCodes ReadRowCodes(const std::filesystem::path& file) {
  RowCodes codes;
  EngineFile db(file);
  db.Query("SELECT KBID, RESCODE FROM VELTINDEX", [&](sqlite3_stmt* stmt) {
    std::optional<long long> code;
    if (sqlite3_column_type(stmt, 1) != SQLITE_NULL) code = sqlite3_column_int64(stmt, 1);
    codes[ColumnText(stmt, 0)] = code;
  });
  return codes;
}

void ExpectFetchedRowsWithoutGaps(const RowCodes& rows, const std::string& after) {
  int expected = 100000;
  for (const auto& [kbid, code] : rows) {
    EXPECT_EQ(kbid, std::to_string(expected++)) << "numbers must stay without gaps";
    EXPECT_TRUE(code && *code != 0) << kbid << " left unfetched after " << after;
  }
}

bool PassesIntegrityCheck(const std::filesystem::path& file) {
  std::string verdict;
  EngineFile db(file);
  db.Query("PRAGMA integrity_check", [&](sqlite3_stmt* stmt) { verdict += ColumnText(stmt, 0); });
  return verdict == "ok";
}

std::string ContentSummary(const std::filesystem::path& file) {
  std::string summary;
  EngineFile db(file);
  db.Query("SELECT COUNT(*), TOTAL(LENGTH(TITLE)), COUNT(RESCODE) FROM VELTINDEX", [&](sqlite3_stmt* stmt) {
    summary = ColumnText(stmt, 0) + " rows, " + ColumnText(stmt, 1) + " title bytes, " + ColumnText(stmt, 2) +
              " with a code";
  });
  return summary;
}

void MakeFilledDatabase(const std::filesystem::path& file, int rows, int titleBytes, int claimedEvery) {
  {
    TDatabaseJet session;
    std::string error;
    ASSERT_TRUE(session.Open("", "", file.string(), error)) << error;
    ASSERT_TRUE(RunIndexUpkeep(session, [](const std::string&) {}, error)) << error;
  }
  EngineFile db(file);
  ASSERT_EQ(sqlite3_exec(db.Handle(), "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_stmt* insert = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db.Handle(),
                               "INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(?1,'http://x/'||?1,?2,?3)", -1,
                               &insert, nullptr),
            SQLITE_OK);
  std::mt19937 random(7);
  std::string title(static_cast<std::size_t>(titleBytes), ' ');
  for (int i = 0; i < rows; ++i) {
    // Varied text, so the pages do not compress into nothing.
    for (char& c : title) c = static_cast<char>('a' + random() % 26);
    const std::string kbid = std::to_string(100000 + i);
    sqlite3_bind_text(insert, 1, kbid.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, i % claimedEvery == 0 ? 0 : 200);
    sqlite3_bind_text(insert, 3, title.data(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE) << sqlite3_errmsg(db.Handle());
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ASSERT_EQ(sqlite3_exec(db.Handle(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
}

void AddFreePages(const std::filesystem::path& file, std::uintmax_t bytes) {
  EngineFile db(file);
  const std::string sql = "CREATE TABLE scratch AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                          "WHERE i<" + std::to_string(bytes / 4000 + 1) + ") SELECT randomblob(4000) AS b FROM n;"
                          "DROP TABLE scratch;";
  ASSERT_EQ(sqlite3_exec(db.Handle(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db.Handle());
}

long long FreePages(const std::filesystem::path& file) {
  long long pages = -1;
  EngineFile db(file);
  db.Query("PRAGMA freelist_count", [&](sqlite3_stmt* stmt) { pages = sqlite3_column_int64(stmt, 0); });
  return pages;
}

std::string CompactionCopies(const std::filesystem::path& folder) {
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("!md") && (name.ends_with(".tmp") || name.ends_with(".tmp-journal"))) names += name + " ";
  }
  return names;
}

std::filesystem::path MakeTempFolder(const std::string& stem) {
  std::random_device seed;
  auto folder = std::filesystem::temp_directory_path() / ("velt-" + stem + "-" + std::to_string(seed()));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace velt::faults
