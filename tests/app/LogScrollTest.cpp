// The message log as a reader meets it: a line written while the view is
// at the end of the log comes into view, also when the Messages tab was
// not shown at the time; a reader who scrolled up to read is not moved.
#include <gmock/gmock.h>

#include <QScrollBar>
#include <QTabWidget>

#include "app/MessageLog.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

struct ScrollCase {
  const char* name;
  bool logTabShownWhileWriting;
  bool readerScrolledUp;
  friend void PrintTo(const ScrollCase& c, std::ostream* out) { *out << c.name; }
};

class LogScrollTest : public StartedWindow, public ::testing::WithParamInterface<ScrollCase> {
 protected:
  QScrollBar& Bar() { return *Control<QPlainTextEdit>("MemLog").verticalScrollBar(); }
  void ShowLogTab(bool shown) {
    Control<QTabWidget>("PageControl1").setCurrentIndex(shown ? 2 : 0);
    QApplication::processEvents();
  }
  void WriteLines(int count) {
    for (int i = 0; i < count; ++i) form_->Log().WriteLog("LINE " + std::to_string(i), 0);
    QApplication::processEvents();
  }
};

TEST_P(LogScrollTest, NewLinesComeIntoViewOnlyWhenTheReaderIsAtTheEnd) {
  const ScrollCase& c = GetParam();
  ShowLogTab(true);
  WriteLines(60);  // more than the memo shows at once
  ASSERT_GT(Bar().maximum(), 0);
  ASSERT_EQ(Bar().value(), Bar().maximum()) << "the log starts at its end";
  if (c.readerScrolledUp) Bar().setValue(Bar().maximum() / 2);
  const int readersPlace = Bar().value();

  ShowLogTab(c.logTabShownWhileWriting);
  WriteLines(30);
  ShowLogTab(true);

  if (c.readerScrolledUp) {
    EXPECT_EQ(Bar().value(), readersPlace);
  } else {
    EXPECT_EQ(Bar().value(), Bar().maximum());
  }
  // The lines' beginnings (mark and time) stay in view.
  EXPECT_EQ(Control<QPlainTextEdit>("MemLog").horizontalScrollBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogScrollTest,
                         ::testing::Values(ScrollCase{"AtTheEnd", true, false},
                                           ScrollCase{"AtTheEndWithTheTabHidden", false, false},
                                           ScrollCase{"ScrolledUp", true, true},
                                           ScrollCase{"ScrolledUpWithTheTabHidden", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velt::test
