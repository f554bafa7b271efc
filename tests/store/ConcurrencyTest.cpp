#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "store/IndexTable.h"
#include "tests/store/SessionFixture.h"

namespace velt::testing {
namespace {

using SharedSession = SessionTest;

// The crawler's pattern: claims, updates and reads of one session from many
// threads, each use under DatabaseLock.
TEST_F(SharedSession, ManyThreadsTakingTurnsUnderTheLockLoseNothing) {
  Exec(SqlCreateIndexTable);
  std::string error;
  ASSERT_TRUE(db_.AllowZeroLength(IndexTableName, error)) << error;
  constexpr int kThreads = 8;
  constexpr int kRowsEach = 40;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRowsEach; ++i) {
        const std::string kbid = std::to_string(100000 + t * kRowsEach + i);
        std::string threadError;
        {
          CriticalSectionGuard guard(DatabaseLock);
          if (!db_.ExecSQLList({BuildDeleteRowSql(kbid), BuildClaimInsertSql(kbid, "http://kb/" + kbid)},
                               threadError))
            ++failures[t];
        }
        {
          CriticalSectionGuard guard(DatabaseLock);
          if (!db_.ExecSQL(BuildRowUpdateSql(200, "t", "", "", "", "20240101000000", "20240101000001", kbid),
                           threadError))
            ++failures[t];
        }
        {
          CriticalSectionGuard guard(DatabaseLock);
          Recordset rs;
          if (!db_.OpenQuery(SqlMaxKbid, rs, threadError)) {
            ++failures[t];
          } else {
            db_.FieldByName(rs, "KBID");
            db_.CloseQuery(rs);
          }
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_EQ(Scalar(SqlCountExisting).AsInteger(), kThreads * kRowsEach);
}

// A long run of commits: the log is copied back into the file while the
// session writes, so it stays far smaller than what was written, and
// closing leaves every row in the file and no log behind.
TEST_F(SharedSession, TheLogStaysBoundedWhileWritingAndNothingIsLostOnClose) {
  Exec(SqlCreateIndexTable);
  constexpr int kRows = 100;
  constexpr int kRounds = 80;
  std::string parents(16000, 'p');  // not searchable: no index work
  std::uintmax_t largestLog = 0;
  for (int round = 0; round < kRounds; ++round) {
    parents[0] = static_cast<char>('a' + round % 26);
    for (int i = 0; i < kRows; ++i) {
      const std::string kbid = std::to_string(100000 + i);
      if (round == 0) Exec(BuildClaimInsertSql(kbid, "http://kb/" + kbid));
      Exec(BuildRowUpdateSql(200, "t", "d", "k", parents, "20240101000000", "20240101000001", kbid));
    }
    std::error_code ignored;
    largestLog = std::max(largestLog, std::filesystem::file_size(path_ + "-wal", ignored));
  }
  const std::uintmax_t written = std::uintmax_t{kRows} * kRounds * parents.size();
  EXPECT_LT(largestLog, written / 2);
  db_.Close();
  EXPECT_FALSE(std::filesystem::exists(path_ + "-wal"));
  std::string error;
  ASSERT_TRUE(db_.Open("", "", path_, error)) << error;
  EXPECT_EQ(Scalar(SqlCountExisting).AsInteger(), kRows);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM VELTINDEX WHERE KBPARENTS LIKE \"" + parents.substr(0, 1) + "p%\"").AsInteger(),
            kRows);
}

}  // namespace
}  // namespace velt::testing
