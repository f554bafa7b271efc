#include "about/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/MainThread.h"

namespace velt {
namespace {

TEST(MessageBoxTest, RecorderSeesTitleTextAndTopmostFlagsAndAnswersFromItsQueue) {
  MessageBoxRecorder recorder;
  recorder.SetNextAnswer(IdYes);
  recorder.SetNextAnswer(IdNo);
  EXPECT_EQ(ShowMessageBox("first", MbYesNo | MbIconQuestion), IdYes);
  EXPECT_EQ(ShowMessageBox("second", MbYesNo), IdNo);
  EXPECT_EQ(ShowMessageBox("third", MbIconStop), IdOk);
  ASSERT_EQ(recorder.Requests().size(), 3u);
  EXPECT_EQ(recorder.Requests()[0].caption, "about_tests");
  EXPECT_EQ(recorder.Requests()[0].text, "first");
  EXPECT_EQ(recorder.Requests()[0].flags, MbYesNo | MbIconQuestion | MbTopmost);
  EXPECT_EQ(recorder.Requests()[2].flags, 16u | 0x40000u);
  {
    MessageBoxRecorder inner;
    ShowMessageBox("inner", MbOk);
  }
  ShowMessageBox("outer again", MbOk);
  EXPECT_EQ(recorder.Requests().back().text, "outer again");
}

TEST(MessageBoxTest, CallFromAnotherThreadIsShownOnTheMainThread) {
  MessageBoxRecorder recorder;
  std::thread::id shownOn;
  SetMessageBoxHandler([&](const std::string&, const std::string&, unsigned) {
    shownOn = std::this_thread::get_id();
    return static_cast<int>(IdRetry);
  });
  std::atomic<int> result{0};
  std::thread worker([&] { result = ShowMessageBox("from a worker", MbRetryCancel); });
  while (result == 0) {
    WaitForMainThreadWork(std::chrono::milliseconds(50));
    ServeMainThreadSteps();
  }
  worker.join();
  EXPECT_EQ(result, IdRetry);
  EXPECT_EQ(shownOn, std::this_thread::get_id());
}

// The real box: its look follows the flags and the clicked button decides
// the result.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool onTop = false;
  int buttonCount = 0;
};

int AnswerRealBox(unsigned flags, QMessageBox::StandardButton press, SeenBox& seen) {
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->windowTitle(), box->text(), box->icon(),
            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
            static_cast<int>(box->buttons().size())};
    if (press == QMessageBox::NoButton) {
      box->close();
    } else {
      box->button(press)->click();
    }
  });
  return ShowMessageBox("Body text", flags);
}

TEST(MessageBoxTest, RealBoxShowsIconAndButtonsOfTheFlagsAndReturnsThePressedOne) {
  SeenBox seen;
  EXPECT_EQ(AnswerRealBox(MbYesNoCancel | MbIconQuestion, QMessageBox::No, seen), IdNo);
  EXPECT_EQ(seen.title, "about_tests");
  EXPECT_EQ(seen.text, "Body text");
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_TRUE(seen.onTop);
  EXPECT_EQ(seen.buttonCount, 3);

  EXPECT_EQ(AnswerRealBox(MbAbortRetryIgnore | MbIconWarning, QMessageBox::Ignore, seen), IdIgnore);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);

  EXPECT_EQ(AnswerRealBox(MbIconStop, QMessageBox::Ok, seen), IdOk);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttonCount, 1);
}

TEST(MessageBoxTest, ClosingTheRealBoxMeansCancelOrOk) {
  SeenBox seen;
  EXPECT_EQ(AnswerRealBox(MbOkCancel, QMessageBox::NoButton, seen), IdCancel);
  EXPECT_EQ(AnswerRealBox(MbIconInformation, QMessageBox::NoButton, seen), IdOk);
  EXPECT_EQ(seen.icon, QMessageBox::Information);
}

}  // namespace
}  // namespace velt
