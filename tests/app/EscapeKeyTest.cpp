// While a long step is watched, a modal box the step opens (a fatal
// notice) stays usable, the main window's input is dropped, and a request
// to close it is kept for the step to carry out.
#include <gmock/gmock.h>

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/EscapeKey.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

QString AfterTyping(QLineEdit& edit) {
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(&edit, &key);
  return edit.text();
}

TEST(EscapeKeyMonitorTest, DuringAWatchOnlyTheStepsModalBoxTakesInputAndACloseIsKept) {
  QWidget window;
  QLineEdit inWindow(&window);
  window.show();
  EscapeKeyMonitor monitor(window);
  EscapeKeyMonitor::Watch watch(monitor);
  QDialog box;
  QLineEdit inBox(&box);
  box.setModal(true);
  box.show();
  EXPECT_EQ(AfterTyping(inBox), QStringLiteral("a"));
  box.hide();
  EXPECT_EQ(AfterTyping(inWindow), QString());

  EXPECT_FALSE(monitor.CloseRequested());
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(monitor.CloseRequested());
}

}  // namespace
}  // namespace velt::test
