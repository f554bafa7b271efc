// Shows the real main window on a fresh database in a temporary folder,
// runs the start-up and one search over two sample articles, and saves a
// picture of the window on each tab: main-search.png, main-downloader.png
// and main-messages.png in the folder given as the only argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "app/MainForm.h"
#include "app/MainThreadWakeup.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"

namespace {

void AddSampleArticles() {
  const char* rows[] = {
      "INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS) VALUES(\"100231\","
      "\"http://kb.example.test/default.aspx?scid=kb;ja;100231\",200,\"レジストリの編集方法\","
      "\"レジストリ エディタで値を変更する手順\",\"レジストリ;編集\")",
      "INSERT INTO VELTINDEX(KBID,URL,RESCODE,TITLE,DESCRIPTION,KEYWORDS) VALUES(\"100877\","
      "\"http://kb.example.test/default.aspx?scid=kb;ja;100877\",200,\"レジストリのバックアップ\","
      "\"変更の前にレジストリを保存する\",\"レジストリ;バックアップ\")",
  };
  velt::CriticalSectionGuard hold(velt::DatabaseLock);
  std::string error;
  for (const char* sql : rows) {
    if (!velt::Database->ExecSQL(sql, error)) std::fprintf(stderr, "%s\n", error.c_str());
  }
}

void Settle() {
  for (int i = 0; i < 30; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool Save(QWidget& window, const QString& path) {
  Settle();
  const QPixmap picture = window.screen()->grabWindow(window.winId());
  return picture.save(path);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  velt::SetMainThread();
  QApplication application(argc, argv);
  velt::ScopedMainThreadWakeup wakeup;
  QTemporaryDir folder;
  const QDir out(QString::fromLocal8Bit(argv[1]));
  bool saved = true;
  {
    velt::TMainForm form((folder.path() + "/VeltIndexer.mdb").toStdString(), velt::ArticleBaseUrl);
    form.show();
    for (int i = 0; i < 500 && !form.StartupHasRun(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    AddSampleArticles();
    form.findChild<QPushButton*>("BtnSearch")->click();

    auto* tabs = form.findChild<QTabWidget*>("PageControl1");
    const char* names[] = {"main-search.png", "main-downloader.png", "main-messages.png"};
    for (int tab = 0; tab < 3; ++tab) {
      tabs->setCurrentIndex(tab);
      saved = Save(form, out.filePath(QString::fromLatin1(names[tab]))) && saved;
    }
  }
  return saved ? 0 : 1;
}
