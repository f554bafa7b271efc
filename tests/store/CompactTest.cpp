#include <gtest/gtest.h>

#include <filesystem>

#include "store/DatabaseIO.h"
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
  bool Rename(const std::string& from, const std::string& to, std::string& error) override {
    if (failRename) {
      error = "rename refused by the test";
      return false;
    }
    return DefaultFileSystem().Rename(from, to, error);
  }
};

class Compaction : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.File("index.mdb");
    std::string error;
    ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
    ASSERT_TRUE(db_.ExecSQL("CREATE TABLE T (K TEXT(6) NOT NULL, M MEMO)", error)) << error;
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(db_.ExecSQL("INSERT INTO T(K, M) VALUES(\"" + std::to_string(100000 + i) + "\", \"" +
                                  std::string(200, 'x') + "\")",
                              error))
          << error;
    }
    ASSERT_TRUE(db_.ExecSQL("DELETE FROM T WHERE K>\"100149\"", error)) << error;
  }

  std::int64_t Count() {
    Recordset rs;
    std::string error;
    EXPECT_TRUE(db_.OpenQuery("SELECT COUNT(*) FROM T", rs, error)) << error;
    const auto count = db_.FieldByIndex(rs, 0).AsInteger();
    db_.CloseQuery(rs);
    return count;
  }

  TempFolder folder_;
  std::string path_;
  FailingFileSystem files_;
  TDatabaseJet db_{files_};
};

TEST_F(Compaction, KeepsEveryRowShrinksTheFileAndLeavesNoTemporaryFile) {
  db_.Close();
  const auto before = std::filesystem::file_size(path_);
  std::string error;
  ASSERT_TRUE(db_.Open("", "pw", path_, error)) << error;
  ASSERT_TRUE(db_.Compact(error)) << error;
  EXPECT_TRUE(db_.Connected);
  EXPECT_EQ(Count(), 150);
  EXPECT_LT(std::filesystem::file_size(path_), before);
  db_.Close();
  EXPECT_EQ(folder_.CountEntries(), 1);  // the database alone
}

TEST_F(Compaction, WithANewPasswordReopensWithIt) {
  std::string error;
  ASSERT_TRUE(db_.Compact("new", error)) << error;
  EXPECT_EQ(db_.Password, "new");
  EXPECT_EQ(Count(), 150);
  EXPECT_FALSE(db_.Open("", "pw", path_, error));
  EXPECT_TRUE(db_.Open("", "new", path_, error)) << error;
}

TEST_F(Compaction, AFailedRenameKeepsTheOriginalAndRemovesTheCopy) {
  files_.failRename = true;
  std::string error;
  EXPECT_TRUE(db_.Compact("new", error));  // reopened on the original
  EXPECT_EQ(error, "rename refused by the test");
  EXPECT_EQ(db_.Password, "pw");
  EXPECT_EQ(Count(), 150);
  db_.Close();
  EXPECT_EQ(folder_.CountEntries(), 1);
}

TEST_F(Compaction, AFailureBeforeTheCopyReopensTheOriginal) {
  files_.failTempFile = true;
  std::string error;
  EXPECT_TRUE(db_.Compact(error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Count(), 150);
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

TEST(CompactionClosed, OnAClosedSessionFailsWithoutTouchingTheDisk) {
  TDatabaseJet db;
  std::string error;
  EXPECT_FALSE(db.Compact(error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace velt::testing
