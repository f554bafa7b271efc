// What the user does with the hits after a search: opening one from the
// result memo with a double-click or Enter, saving them all as CSV from
// the memo's context menu, and the program's --search --format output,
// each read back by another program's parsers.
#include <gmock/gmock.h>

#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/UrlHandler.h"
#include "tests/app/GuiTestSupport.h"
#include "tests/app/TableReading.h"

namespace velt::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kUrl = "http://kb.example.test/default.aspx?scid=kb;ja;";

class UrlRecorder : public UrlHandler {
 public:
  bool Open(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
  std::vector<std::string> opened;
};

// Calls `act` once a popup or modal widget of type T is on screen.
template <typename T>
void WhenShown(std::function<void(T&)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* top = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                     : QApplication::activeModalWidget();
    auto* widget = qobject_cast<T*>(top);
    if (!widget || !widget->isVisible()) return;
    timer->deleteLater();
    timer->stop();
    act(*widget);
  });
  timer->start(10);
}

// The file dialog keeps the folders it visited in the user's settings;
// these tests keep theirs apart, for the whole test program.
void UseOwnSettings() {
  static QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
}

class SearchHitsTest : public StartedWindow {
 protected:
  void SetUp() override {
    UseOwnSettings();
    StartedWindow::SetUp();
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS) VALUES(\"100001\",\"" + kUrl +
         "100001\",200,\"記事 \"\"A\"\", 1\",\"一行目\r\n二行目\",\"key,word\")");
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,KEYWORDS) VALUES(\"100002\",\"" + kUrl +
         "100002\",200,\"ﾃﾞｨｽｸの記事\",\"タブ\tあり\")");
    Exec("INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE) VALUES(\"100003\",\"" + kUrl + "100003\",200,\"関係なし\")");
    form_->UseUrlHandler(urls_);
  }

  QPlainTextEdit& Memo() { return Control<QPlainTextEdit>("MemResult"); }

  void Search() {
    Control<QLineEdit>("EditWord").setText(QStringLiteral("%記事%"));
    Control<QPushButton>("BtnSearch").click();
  }

  QPoint LineCentre(int line) {
    return Memo().cursorRect(QTextCursor(Memo().document()->findBlockByNumber(line))).center();
  }

  void DoubleClickLine(int line) {
    const QPointF at = LineCentre(line);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, Memo().viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(Memo().viewport(), &event);
    }
  }

  void PressKey(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&Memo(), &press);
  }

  // Chooses the item of the memo's context menu opened over the line, and
  // answers the file dialog it opens, if any, with `path`.
  void ChooseFromMenu(int line, const QString& item, const QString& path) {
    WhenShown<QMenu>([item](QMenu& menu) {
      for (QAction* action : menu.actions()) {
        if (action->text() == item) menu.setActiveAction(action);
      }
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(&menu, &enter);
    });
    WhenShown<QFileDialog>([path](QFileDialog& dialog) {
      dialog.selectFile(path);
      QMetaObject::invokeMethod(&dialog, "accept");
    });
    const QPoint at = LineCentre(line);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, Memo().viewport()->mapToGlobal(at));
    QApplication::sendEvent(Memo().viewport(), &request);
  }

  UrlRecorder urls_;
  const Table hits_ = {{"KBID", "URL", "TITLE", "DESCRIPTION", "KEYWORDS"},
                       {"100001", kUrl + "100001", "記事 \"A\", 1", "一行目\r\n二行目", "key,word"},
                       {"100002", kUrl + "100002", "ﾃﾞｨｽｸの記事", "", "タブ\tあり"}};
};

// The memo: three header lines; the first hit on lines 3 to 8 (its
// description spans two), an empty line; the second hit on 10 to 13.
TEST_F(SearchHitsTest, ADoubleClickOrEnterOnAHitsLineOpensItsUrlAndLeavesTheMemoAsItWas) {
  Search();
  const QString shown = Memo().toPlainText();
  ASSERT_EQ(Memo().blockCount(), 15) << shown.toStdString();

  for (int outside : {1, 9, 14}) DoubleClickLine(outside);
  DoubleClickLine(13);
  Memo().setTextCursor(QTextCursor(Memo().document()->findBlockByNumber(6)));
  PressKey(Qt::Key_Down);
  PressKey(Qt::Key_Return);
  Memo().setTextCursor(QTextCursor(Memo().document()->findBlockByNumber(8)));
  PressKey(Qt::Key_Down);
  PressKey(Qt::Key_Enter);  // on the empty line after the hit

  EXPECT_THAT(urls_.opened, ElementsAre(kUrl + "100002", kUrl + "100001"));
  EXPECT_EQ(Memo().toPlainText(), shown);
  EXPECT_TRUE(Memo().isReadOnly());
}

TEST_F(SearchHitsTest, TheContextMenuSavesAllHitsAsCsv) {
  Search();
  const QString path = QString::fromStdString(db_.Folder()) + "/ヒット.csv";
  ChooseFromMenu(4, QStringLiteral("すべてのヒットをCSVで保存(&S)..."), path);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(ReadTable(file.readAll(), "csv"), hits_);
  EXPECT_THAT(boxes_.Requests(), IsEmpty());
}

TEST_F(SearchHitsTest, AFailedCsvWriteSaysWhyInABox) {
  Search();
  const std::string notAFolder = db_.Folder() + "/file";
  QFile(QString::fromStdString(notAFolder)).open(QIODevice::WriteOnly);
  ChooseFromMenu(4, QStringLiteral("すべてのヒットをCSVで保存(&S)..."), QString::fromStdString(notAFolder + "/hits.csv"));
  ASSERT_EQ(boxes_.Requests().size(), 1u);
  const std::string text = boxes_.Requests()[0].text;
  EXPECT_THAT(text, HasSubstr("CSVファイルを保存できませんでした。\n" + notAFolder + "/hits.csv\n"));
  EXPECT_GT(text.size(), text.rfind('\n') + 1) << "the reason follows";
}

// A file edited by other tools may hold anything in its URL column.
TEST_F(SearchHitsTest, OnlyWebAddressesReachTheUrlHandler) {
  Exec("UPDATE VELTINDEX SET URL=\"file:///etc/passwd\" WHERE KBID=\"100002\"");
  Search();
  DoubleClickLine(11);
  EXPECT_THAT(urls_.opened, IsEmpty());
  ASSERT_EQ(boxes_.Requests().size(), 1u);
  EXPECT_THAT(boxes_.Requests()[0].text, HasSubstr("file:///etc/passwd"));
}

TEST_F(SearchHitsTest, TheCommandLinePrintsTheSameHitsAsTextCsvTsvAndJson) {
  form_.reset();
  const std::string program = db_.Folder() + "/VeltIndexer";
  std::filesystem::copy_file(VELT_PROGRAM_PATH, program);
  auto run = [&](const char* format) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    child.setProcessEnvironment(environment);
    child.start(QString::fromStdString(program), {"--search", "%記事%", "--format", format});
    EXPECT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    return child.readAllStandardOutput();
  };
  for (const char* format : {"csv", "tsv", "json"}) EXPECT_EQ(ReadTable(run(format), format), hits_) << format;

  const std::string hyphens(50, '-');
  EXPECT_EQ(run("text").toStdString(), hyphens + "\n[2 件] ヒットしました。\n" + hyphens + "\n100001\n" + kUrl +
                                           "100001\n記事 \"A\", 1\n一行目\r\n二行目\nkey,word\n\n100002\n" + kUrl +
                                           "100002\nﾃﾞｨｽｸの記事\nタブ\tあり\n\n");
}

}  // namespace
}  // namespace velt::test
