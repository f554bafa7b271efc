#include <gmock/gmock.h>

#include "tests/app/GuiTestSupport.h"

#include "app/MainThreadWakeup.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "store/provider/Connection.h"
#include "store/provider/SqliteCalls.h"

namespace velt::test {
namespace {

// One application object for the whole test program, made on the thread
// that runs the tests, which is the program's main thread.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetMainThread();
    static int argc = 1;
    static char name[] = "app_gui_tests";
    static char* argv[] = {name, nullptr};
    application_ = new QApplication(argc, argv);
    wakeup_ = new ScopedMainThreadWakeup;
  }
  void TearDown() override {
    delete wakeup_;
    delete application_;
  }

 private:
  QApplication* application_ = nullptr;
  ScopedMainThreadWakeup* wakeup_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

std::vector<std::string> MemoLines(const QPlainTextEdit& memo) {
  std::vector<std::string> lines;
  for (const QString& line : memo.toPlainText().split('\n')) lines.push_back(line.toStdString());
  return lines;
}

std::vector<std::string> LoggedLines(TMainForm& form) {
  const auto* memo = form.findChild<QPlainTextEdit*>("MemLog");
  std::vector<std::string> lines = MemoLines(*memo);
  lines.erase(lines.begin(), lines.begin() + std::min<size_t>(18, lines.size()));
  return lines;
}

void StartedWindow::Exec(const std::string& sql) {
  CriticalSectionGuard hold(DatabaseLock);
  std::string error;
  ASSERT_TRUE(Database->ExecSQL(sql, error)) << error;
}

void MakeUnindexedArticles(const std::string& path, int rows) {
  TDatabaseJet session;
  std::string error;
  ASSERT_TRUE(session.Open("", "", path, error)) << error;
  ASSERT_TRUE(session.ExecSQL(SqlCreateIndexTable, error)) << error;
  provider::ExecEngineSql(session.Connection->Handle(),
                          "WITH RECURSIVE n(i) AS (SELECT 100000 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                              std::to_string(100000 + rows - 1) +
                              ") INSERT INTO VELTINDEX(KBID, URL, RESCODE, TITLE) SELECT i, 'u' || i, 200, "
                              "replace(hex(zeroblob(100)), '0', 'データベース' || i) FROM n");
}

}  // namespace velt::test
