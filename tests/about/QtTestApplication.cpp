// One QApplication for every test of this program, on the thread that runs
// the tests, which is also the program's main thread.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include "platform/MainThread.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "about_tests";
    static char* argv[] = {name, nullptr};
    velt::SetMainThread();
    app_ = new QApplication(argc, argv);
    // Figures are checked with "," and "." as the user's separators.
    QLocale::setDefault(QLocale::c());
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
