#include "app/MainForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <exception>

#include "about/Info.h"
#include "about/MessageBox.h"
#include "about/VersionInfo.h"
#include "app/ArticleSearch.h"
#include "app/EscapeKey.h"
#include "app/FatalStop.h"
#include "app/IndexDatabase.h"
#include "app/MessageLog.h"
#include "app/PaintBox.h"
#include "app/Shutdown.h"
#include "app/StartupSequence.h"
#include "app/StatusReport.h"
#include "app/WindowCrawlerHost.h"
#include "app/WindowFont.h"
#include "app/WorkerList.h"
#include "crawler/ThreadCreator.h"

namespace velt {

TMainForm::TMainForm(const std::string& databasePath, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setFont(MainWindowFont());
  ui_ = BuildMainFormControls(*this);
  setGeometry(192, 107, 482, 397);
  log_ = std::make_unique<MessageLog>(*ui_.MemLog);
  workers_ = std::make_unique<WorkerList>(*ui_.LboxThreads);
  host_ = std::make_unique<WindowCrawlerHost>(*ui_.UpdnThreadCount, *ui_.ChkRetry302, *workers_, *log_);
  escapeKey_ = std::make_unique<EscapeKeyMonitor>(*this);

  ui_.AfterShowTrigger->SetOnPaint([this] { AfterShowTriggerPaint(); });
  connect(ui_.BtnVersion, &QPushButton::clicked, this, [this] { BtnVersionClick(); });
  connect(ui_.BtnSearch, &QPushButton::clicked, this, [this] { BtnSearchClick(); });
  connect(ui_.BtnStatus, &QPushButton::clicked, this, [this] { BtnStatusClick(); });
  FormCreate(databasePath);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate(const std::string& databasePath) {
  SetVersionCaption(*this);
  OpenIndexDatabase(databasePath, *log_);
}

void TMainForm::AfterShowTriggerPaint() {
  ui_.AfterShowTrigger->SetOnPaint(nullptr);
  // The sequence may show a modal box, which must not open inside a paint.
  QTimer::singleShot(0, this, [this] { RunStartupSequence(); });
}

void TMainForm::RunStartupSequence() {
  ui_.AfterShowTrigger->hide();
  if (RunIndexStartup(*log_) && !ThreadCreator) {
    try {
      ThreadCreator = std::make_unique<TThreadCreator>(*host_);
      ThreadCreator->Start();
      log_->WriteLog("THREAD CREATOR CREATED", 0);
    } catch (const std::exception& e) {  // the system refused the thread
      ThreadCreator.reset();
      log_->WriteLog(e.what(), 1);
      FatalStop();
    }
  }
  startupHasRun_ = true;
}

void TMainForm::FormDestroy() {
  if (ThreadCreator) {
    StopAndAwait(*ThreadCreator);  // no worker starts after this
    ThreadCreator.reset();
  }
  AwaitEmptyWorkerList(*workers_);
  CloseIndexDatabase();
}

void TMainForm::BtnVersionClick() {
  try {
    ShowAboutBox();
  } catch (const std::exception& e) {  // nothing may leave an event handler
    ShowMessageBox(e.what(), MbIconStop);
  }
}

void TMainForm::BtnSearchClick() {
  EscapeKeyMonitor::Watch watch(*escapeKey_);
  RunArticleSearch(ui_.EditWord->text(), *ui_.MemResult, *ui_.MemErr, [this] { return escapeKey_->EscPressed(); });
}

void TMainForm::BtnStatusClick() { ShowStatusReport(); }

}  // namespace velt
