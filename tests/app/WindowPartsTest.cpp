// The small window parts: the up-down's range, the worker list's lines
// and rows, and the log line form.
#include <gmock/gmock.h>

#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "app/MessageLog.h"
#include "session/LogLine.h"
#include "app/UpDown.h"
#include "app/WorkerList.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

TEST(UpDown, StaysWithinItsRangeWithoutWrappingAndShowsThePositionInItsBuddy) {
  QWidget parent;
  QLineEdit buddy(&parent);
  TUpDown updown(0, 30, &parent);
  updown.SetBuddy(&buddy);
  EXPECT_EQ(buddy.text(), "0");

  QList<QToolButton*> arrows = updown.findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  arrows[1]->click();  // down at the minimum
  EXPECT_EQ(updown.Position(), 0);
  arrows[0]->click();
  EXPECT_EQ(updown.Position(), 1);
  EXPECT_EQ(buddy.text(), "1");

  updown.SetPosition(31);
  EXPECT_EQ(updown.Position(), 30);
  arrows[0]->click();  // up at the maximum
  EXPECT_EQ(updown.Position(), 30);
  EXPECT_EQ(buddy.text(), "30");
  updown.SetPosition(-5);
  EXPECT_EQ(buddy.text(), "0");
}

TEST(WorkerList, RemovesTheLineOfTheGivenWorkerOnly) {
  QListWidget list;
  WorkerList workers(list);
  int a = 0, b = 0, c = 0;
  workers.Add("http://kb.example.test/a&b", &a);
  workers.Add("http://kb.example.test/b", &b);
  workers.Add("http://kb.example.test/a&b", &c);
  workers.Remove(&a);
  workers.Remove(&a);  // already gone: nothing else goes
  ASSERT_EQ(workers.Count(), 2);
  EXPECT_EQ(list.item(0)->text(), "http://kb.example.test/b");
  EXPECT_EQ(list.item(1)->text(), "http://kb.example.test/a&b");
  workers.Remove(&c);
  workers.Remove(&b);
  EXPECT_EQ(workers.Count(), 0);
}

TEST(WorkerList, RowsAreSixteenPixelsHigh) {
  QListWidget list;
  WorkerList workers(list);
  int worker = 0;
  workers.Add("http://kb.example.test/1", &worker);
  EXPECT_EQ(list.sizeHintForRow(0), 16);
}

TEST(MessageLog, MarksInformationAndErrorsAndAppendsBelowThePreset) {
  EXPECT_EQ(FormatLogLine("TEXT", 0, "2006/09/15 21:04:05 "), "○2006/09/15 21:04:05 TEXT");
  EXPECT_EQ(FormatLogLine("TEXT", 1, "2006/09/15 21:04:05 "), "●2006/09/15 21:04:05 TEXT");

  QPlainTextEdit memo;
  MessageLog log(memo);
  log.WriteLog("first", 0);
  log.WriteLog("second", 1);
  const std::vector<std::string> lines = MemoLines(memo);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[17], std::string(57, '='));
  EXPECT_THAT(lines[18], LogLine("○", "first"));
  EXPECT_THAT(lines[19], LogLine("●", "second"));
}

}  // namespace
}  // namespace velt::test
