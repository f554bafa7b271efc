// The database file in other SQLite programs with the extension loaded:
// each reads, sorts, filters with LIKE, inserts, updates and deletes rows,
// and the program then finds the edited rows by its search and counts
// them in its status report, as the stored triggers keep the search index
// and the column rules in step.
#include <gmock/gmock.h>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include "session/StatusReport.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Statements come one per line on standard input; every result row is
// printed as its values joined by "|", Null as empty text.
constexpr char kPythonClient[] = R"(
import sqlite3, sys
connection = sqlite3.connect(sys.argv[2], isolation_level=None)
connection.enable_load_extension(True)
connection.load_extension(sys.argv[1])
for statement in sys.stdin:
    for row in connection.execute(statement):
        print('|'.join('' if v is None else str(v) for v in row))
)";

struct Tool {
  const char* name;
  QString program;
  bool python;
  QStringList Arguments(const QString& database) const {
    if (python) return {"-c", kPythonClient, VELT_SQLITE_EXTENSION, database};
    return {"-bail", "-cmd", QStringLiteral(".load ") + VELT_SQLITE_EXTENSION, database};
  }
  friend void PrintTo(const Tool& tool, std::ostream* out) { *out << tool.name; }
};

class OtherToolsTest : public StartedWindow, public ::testing::WithParamInterface<Tool> {
 protected:
  void InsertRow(const char* kbid, const char* rescode, const char* title) {
    Exec(std::string("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(\"") + kbid + "\",\"u" + kbid + "\"," +
         rescode + "," + title + ")");
  }

  // Runs the statements in the tool; its output lines.
  std::vector<std::string> RunTool(const std::vector<std::string>& statements) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", VELT_FOREIGN_HOST_PRELOAD);  // a sanitizer build's runtime, or nothing
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");          // the host's own allocations are not ours
    tool.setProcessEnvironment(environment);
    tool.start(GetParam().program, GetParam().Arguments(QString::fromStdString(db_.Path())));
    for (const std::string& statement : statements) tool.write((statement + "\n").c_str());
    tool.closeWriteChannel();
    EXPECT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    std::vector<std::string> lines;
    for (const QByteArray& line : tool.readAllStandardOutput().split('\n'))
      if (!line.isEmpty()) lines.push_back(line.toStdString());
    return lines;
  }

  std::string SearchResult(const char* terms) {
    Control<QLineEdit>("EditWord").setText(QString::fromUtf8(terms));
    Control<QPushButton>("BtnSearch").click();
    return Control<QPlainTextEdit>("MemResult").toPlainText().toStdString();
  }
};

TEST_P(OtherToolsTest, EditsRowsThatTheProgramThenFindsAndCounts) {
  InsertRow("100001", "200", "\"Banana split\"");
  InsertRow("100002", "200", "\"apple pie\"");
  InsertRow("100003", "302", "NULL");
  InsertRow("100004", "200", "\"Cherry tart\"");
  form_.reset();  // the program closes the file before the other tool uses it

  // Case-blind order puts "apple" before "Banana"; byte order would not.
  EXPECT_THAT(RunTool({"SELECT KBID FROM VELTINDEX ORDER BY TITLE, KBID DESC;",
                       "SELECT KBID, TITLE FROM VELTINDEX WHERE TITLE LIKE '%TART%';",
                       "INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION) "
                       "VALUES('100005','u100005',200,'Scanner driver','新しい記事');",
                       "UPDATE VELTINDEX SET TITLE='Printer queue' WHERE KBID='100002';",
                       "DELETE FROM VELTINDEX WHERE KBID='100004';", "SELECT MAX(KBID) FROM VELTINDEX;"}),
              ElementsAre("100003", "100002", "100001", "100004", "100004|Cherry tart", "100005"));

  form_ = std::make_unique<TMainForm>(db_.Path(), ArticleBaseUrl);
  ASSERT_TRUE(ShowAndAwaitStartup(*form_));
  EXPECT_THAT(SearchResult("%printer%"), HasSubstr("100002"));
  EXPECT_THAT(SearchResult("%記事%"), HasSubstr("100005"));
  EXPECT_THAT(SearchResult("%apple%"), Not(HasSubstr("100002")));
  EXPECT_THAT(SearchResult("%cherry%"), Not(HasSubstr("100004")));
  const StatusFigures figures = QueryStatusFigures();
  EXPECT_EQ(figures.total, 4);
  EXPECT_EQ(figures.existing, 3);
  EXPECT_EQ(figures.absent, 1);
  EXPECT_EQ(figures.lowest, "100001");
  EXPECT_EQ(figures.highest, "100005");
}

INSTANTIATE_TEST_SUITE_P(Tools, OtherToolsTest,
                         ::testing::Values(Tool{"SqliteShell", VELT_SQLITE_SHELL, false},
                                           Tool{"Python", VELT_PYTHON, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velt::test
