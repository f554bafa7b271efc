#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "store/DatabaseIO.h"
#include "store/provider/SqlFunctions.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

// The real file system with one step made to fail on request.
class FailingFileSystem : public FileSystem {
 public:
  bool failRename = false;
  bool failTempFile = false;

  bool Exists(const std::string& path) override { return DefaultFileSystem().Exists(path); }
  std::string CreateUniqueFile(const std::string& folder, const std::string& prefix) override {
    return failTempFile ? std::string() : DefaultFileSystem().CreateUniqueFile(folder, prefix);
  }
  bool Remove(const std::string& path, std::string& error) override {
    return DefaultFileSystem().Remove(path, error);
  }
  bool CopyAccess(const std::string& from, const std::string& to, std::string& error) override {
    return DefaultFileSystem().CopyAccess(from, to, error);
  }
  bool Rename(const std::string& from, const std::string& to, std::string& error) override {
    if (failRename) {
      error = "rename refused by the test";
      return false;
    }
    return DefaultFileSystem().Rename(from, to, error);
  }
};

// The file as the engine sees it when no session has it open.
long long FilePragma(const std::string& path, const std::string& pragma) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  sqlite3_stmt* query = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, ("PRAGMA " + pragma).c_str(), -1, &query, nullptr), SQLITE_OK);
  const long long value = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int64(query, 0) : -1;
  sqlite3_finalize(query);
  sqlite3_close(db);
  return value;
}

ino_t Inode(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0);
  return status.st_ino;
}

class Compaction : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.File("index.mdb");
    std::string error;
    ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
    ASSERT_TRUE(db_.ExecSQL("CREATE TABLE T (K TEXT(6) NOT NULL, M MEMO)", error)) << error;
    ASSERT_TRUE(db_.ExecSQL("BEGIN", error)) << error;
    for (int i = 0; i < kRows; ++i) {
      ASSERT_TRUE(db_.ExecSQL("INSERT INTO T(K, M) VALUES(\"" + std::to_string(100000 + i) + "\", \"" +
                                  std::string(1000, 'x') + "\")",
                              error))
          << error;
    }
    ASSERT_TRUE(db_.ExecSQL("COMMIT", error)) << error;
  }

  // Deletes the first rows, so that whole pages fall free.
  void DeleteRows(int count) {
    std::string error;
    ASSERT_TRUE(db_.ExecSQL("DELETE FROM T WHERE K<\"" + std::to_string(100000 + count) + "\"", error)) << error;
  }

  std::int64_t Count() {
    Recordset rs;
    std::string error;
    EXPECT_TRUE(db_.OpenQuery("SELECT COUNT(*) FROM T", rs, error)) << error;
    const auto count = db_.FieldByIndex(rs, 0).AsInteger();
    db_.CloseQuery(rs);
    return count;
  }

  static constexpr int kRows = 600;
  TempFolder folder_;
  std::string path_;
  FailingFileSystem files_;
  TDatabaseJet db_{files_};
};

struct SessionCase {
  const char* name;
  int deletedRows;
  bool madeBeforeInPlaceReclaim;  // a file of an earlier version
};

class CompactionAfterASession : public Compaction, public ::testing::WithParamInterface<SessionCase> {};

// Whatever the session freed, the closed file holds no free page and every
// remaining row; from then on it gives free pages back in place; a file
// with nothing to give back is not rewritten.
TEST_P(CompactionAfterASession, LeavesNoFreePageAndEveryRow) {
  const SessionCase& session = GetParam();
  std::string error;
  if (session.madeBeforeInPlaceReclaim) {
    db_.Close();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    provider::InstallSqlFunctions(raw);  // the schema's collation
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA auto_vacuum=NONE; VACUUM", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
  }
  DeleteRows(session.deletedRows);
  const ino_t before = Inode(path_);
  ASSERT_TRUE(db_.Compact(error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(Count(), kRows - session.deletedRows);
  db_.Close();
  EXPECT_EQ(FilePragma(path_, "freelist_count"), 0);
  EXPECT_EQ(FilePragma(path_, "auto_vacuum"), 2) << "gives back free pages in place";
  if (session.deletedRows == 0) {
    EXPECT_EQ(Inode(path_), before) << "nothing to do, yet rewritten";
  }
  EXPECT_EQ(folder_.CountEntries(), 1);  // the database alone
}

INSTANTIATE_TEST_SUITE_P(Sessions, CompactionAfterASession,
                         ::testing::Values(SessionCase{"NothingDeleted", 0, false},
                                           SessionCase{"AFewRowsDeleted", 30, false},
                                           SessionCase{"MostRowsDeleted", 540, false},
                                           SessionCase{"AnOlderFileWithRowsDeleted", 30, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Compaction, KeepsEveryRowShrinksTheFileAndLeavesNoTemporaryFile) {
  DeleteRows(kRows / 2);
  db_.Close();
  const auto before = std::filesystem::file_size(path_);
  std::string error;
  ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
  ASSERT_TRUE(db_.Compact(error)) << error;
  EXPECT_TRUE(db_.Connected);
  EXPECT_EQ(Count(), kRows / 2);
  EXPECT_LT(std::filesystem::file_size(path_), before);
  db_.Close();
  EXPECT_EQ(folder_.CountEntries(), 1);  // the database alone
}

TEST_F(Compaction, WithANewPasswordReopensWithIt) {
  DeleteRows(kRows / 2);
  std::string error;
  ASSERT_TRUE(db_.Compact("new", error)) << error;
  EXPECT_EQ(db_.Password, "new");
  EXPECT_EQ(Count(), kRows / 2);
  EXPECT_FALSE(db_.Open("", "pw", path_, error));
  EXPECT_TRUE(db_.Open("", "new", path_, error)) << error;
}

// Most rows deleted: the file is replaced by a compacted copy.
TEST_F(Compaction, AFailedRenameKeepsTheOriginalAndRemovesTheCopy) {
  DeleteRows(kRows - 10);
  files_.failRename = true;
  std::string error;
  EXPECT_TRUE(db_.Compact("new", error));  // reopened on the original
  EXPECT_EQ(error, "rename refused by the test");
  EXPECT_EQ(db_.Password, "pw");
  EXPECT_EQ(Count(), 10);
  db_.Close();
  EXPECT_EQ(folder_.CountEntries(), 1);
}

TEST_F(Compaction, AFailureBeforeTheCopyReopensTheOriginal) {
  DeleteRows(kRows - 10);
  files_.failTempFile = true;
  std::string error;
  EXPECT_TRUE(db_.Compact(error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Count(), 10);
}

TEST_F(Compaction, NeverCreatesAnEmptyDatabaseInPlaceOfALostFile) {
  db_.Close();
  std::string error;
  ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
  // Someone else removes the file while the session is open.
  std::filesystem::remove(path_);
  EXPECT_FALSE(db_.Compact(error));
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// A copy killed while the engine wrote it: half a database with the
// journal of a file that was empty before. Such a pair goes at the next
// start; a journal that would restore pages marks someone else's file.
TEST(CompactionLeftovers, ACopyKilledMidwayGoesWithItsJournalAndOtherFilesStay) {
  struct Case {
    const char* name;
    std::string journal;  // empty: none
    bool removed;
  };
  const std::string magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
  const std::string fromNothing = magic + std::string(8, '\x01') + std::string(4, '\0') + std::string(12, '\x02');
  const std::string fromFivePages = magic + std::string(8, '\x01') + std::string("\0\0\0\x05", 4) + std::string(12, '\x02');
  const Case cases[] = {
      {"copy begun from nothing", fromNothing, true},
      {"transaction over five pages", fromFivePages, false},
      {"no journal", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string copy = folder.File("!mdE16E.tmp");
    std::ofstream(copy, std::ios::binary) << std::string("SQLite format 3\0", 16) << std::string(4000, '\x07');
    if (!c.journal.empty()) std::ofstream(copy + "-journal", std::ios::binary) << c.journal;
    std::string error;
    EXPECT_TRUE(RemoveCompactionLeftovers(folder.File("index.mdb"), error)) << error;
    EXPECT_EQ(std::filesystem::exists(copy), !c.removed);
    EXPECT_EQ(std::filesystem::exists(copy + "-journal"), !c.removed && !c.journal.empty());
  }
}

TEST(CompactionClosed, OnAClosedSessionFailsWithoutTouchingTheDisk) {
  TDatabaseJet db;
  std::string error;
  EXPECT_FALSE(db.Compact(error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace velt::testing
