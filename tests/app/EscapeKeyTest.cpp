// What reaches the windows while a long step is watched: a modal box the
// step opens stays usable, the main window's input is dropped, and a
// request to close it is kept for the step to carry out.
#include <gmock/gmock.h>

#include <QCloseEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>

#include "app/EscapeKey.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

int ClicksAfterPressing(QPushButton& button) {
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
  const QPointF centre = QRectF(button.rect()).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, centre, button.mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &event);
  }
  return clicks;
}

TEST(EscapeKeyMonitorTest, DuringAWatchOnlyTheStepsModalBoxTakesInputAndACloseIsKept) {
  QWidget window;
  QPushButton inWindow(&window);
  window.show();
  EscapeKeyMonitor monitor(window);
  EscapeKeyMonitor::Watch watch(monitor);

  QDialog box;  // a fatal notice shown by the step
  QPushButton inBox(&box);
  box.setModal(true);
  box.show();
  EXPECT_EQ(ClicksAfterPressing(inBox), 1);
  box.hide();
  EXPECT_EQ(ClicksAfterPressing(inWindow), 0);

  EXPECT_FALSE(monitor.CloseRequested());
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(monitor.CloseRequested());
}

}  // namespace
}  // namespace velt::test
