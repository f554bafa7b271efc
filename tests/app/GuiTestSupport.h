// Shared pieces of the window tests: the application object, a temporary
// database folder, waiting for the start-up sequence and reading the log.
#pragma once

#include <gmock/gmock.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "about/MessageBox.h"
#include "app/MainForm.h"

namespace velt::test {

// Waits (serving events) until the condition holds or five seconds pass.
template <typename Condition>
bool ProcessEventsUntil(Condition condition) {
  for (int i = 0; i < 500 && !condition(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return condition();
}

inline bool ShowAndAwaitStartup(TMainForm& form) {
  form.show();
  return ProcessEventsUntil([&] { return form.StartupHasRun(); });
}

// The log lines below the 18 preset lines.
std::vector<std::string> LoggedLines(TMainForm& form);

// The memo's text split at line breaks.
std::vector<std::string> MemoLines(const QPlainTextEdit& memo);

// A line as WriteLog writes it: mark, "yyyy/mm/dd hh:nn:ss " and the text.
MATCHER_P2(LogLine, mark, text, "") {
  const std::string line = arg;
  const std::string prefix = mark;
  const size_t stampLength = 20;
  if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + stampLength) return false;
  const std::string stamp = line.substr(prefix.size(), stampLength);
  for (size_t i = 0; i < stamp.size(); ++i) {
    const char expected = "0000/00/00 00:00:00 "[i];
    if (expected == '0' ? !std::isdigit(static_cast<unsigned char>(stamp[i])) : stamp[i] != expected) return false;
  }
  return line.substr(prefix.size() + stampLength) == std::string(text);
}

class TempDatabase {
 public:
  std::string Path() const { return (dir_.path() + "/VeltIndexer.mdb").toStdString(); }
  std::string Folder() const { return dir_.path().toStdString(); }

 private:
  QTemporaryDir dir_;
};

// A database file whose table of `rows` long-titled articles was made
// without the program: its first start indexes them for the search and
// logs VIEW CREATED just before; at 20,000 rows that takes over a second.
void MakeUnindexedArticles(const std::string& path, int rows);

// A window started on a fresh database in a temporary folder, with message
// boxes recorded instead of shown.
class StartedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TMainForm>(db_.Path(), ArticleBaseUrl);
    ASSERT_TRUE(ShowAndAwaitStartup(*form_));
  }

  // Runs a statement on the window's database, under the lock.
  void Exec(const std::string& sql);

  template <typename T>
  T& Control(const char* name) {
    return *form_->findChild<T*>(QString::fromLatin1(name));
  }

  TempDatabase db_;
  MessageBoxRecorder boxes_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace velt::test
