#include "app/MainForm.h"

#include <QLineEdit>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <exception>
#include <string>
#include <utility>

#include "about/Info.h"
#include "about/MessageBox.h"
#include "about/VersionInfo.h"
#include "app/ArticleSearch.h"
#include "session/CrawlSession.h"
#include "app/EscapeKey.h"
#include "app/MessageLog.h"
#include "app/PaintBox.h"
#include "app/ResultMemoHits.h"
#include "session/CrawlProgress.h"
#include "session/StatusReport.h"
#include "app/WindowCrawlerHost.h"
#include "app/WindowFont.h"
#include "app/WorkerList.h"

namespace velt {
namespace {

constexpr std::chrono::seconds kProgressLinePeriod{2};

}  // namespace

TMainForm::TMainForm(const std::string& databasePath, const std::string& articleBaseUrl,
                     std::shared_ptr<const ProxyRoutes> proxies, double maxRate, int refreshDays, QWidget* parent)
    : QWidget(parent), articleBaseUrl_(articleBaseUrl), proxies_(std::move(proxies)), maxRate_(maxRate) {
  setObjectName(QStringLiteral("MainForm"));
  setFont(MainWindowFont());
  ui_ = BuildMainFormControls(*this);
  setGeometry(192, 107, 482, 397);
  log_ = std::make_unique<MessageLog>(*ui_.MemLog);
  workers_ = std::make_unique<WorkerList>(*ui_.LboxThreads);
  progress_ = std::make_unique<CrawlProgress>(CrawlProgress::Clock::now());
  host_ = std::make_unique<WindowCrawlerHost>(*ui_.UpdnThreadCount, *ui_.ChkRetry302, *ui_.ChkRefresh,
                                              *ui_.SpinRefreshDays, *workers_, *log_, *progress_);
  if (refreshDays >= 0) {
    ui_.ChkRefresh->setChecked(true);
    ui_.SpinRefreshDays->setValue(refreshDays);
  }
  auto* progressTimer = new QTimer(this);
  connect(progressTimer, &QTimer::timeout, this, [this] {
    ui_.LblProgress->setText(QString::fromStdString(progress_->Line(CrawlProgress::Clock::now())));
  });
  progressTimer->start(kProgressLinePeriod);
  escapeKey_ = std::make_unique<EscapeKeyMonitor>(*this);
  session_ = std::make_unique<CrawlSession>(*host_, *log_);
  resultHits_ = std::make_unique<ResultMemoHits>(*ui_.MemResult);

  ui_.AfterShowTrigger->SetOnPaint([this] { AfterShowTriggerPaint(); });
  connect(ui_.BtnVersion, &QPushButton::clicked, this, [this] { BtnVersionClick(); });
  connect(ui_.BtnSearch, &QPushButton::clicked, this, [this] { BtnSearchClick(); });
  connect(ui_.BtnStatus, &QPushButton::clicked, this, [this] { BtnStatusClick(); });
  FormCreate(databasePath);
}

TMainForm::~TMainForm() {
  std::string ignored;  // CloseDatabase, when called, has said it
  CloseDatabase(ignored);
}

void TMainForm::UseUrlHandler(UrlHandler& handler) { resultHits_->UseUrlHandler(handler); }

void TMainForm::FormCreate(const std::string& databasePath) {
  SetVersionCaption(*this);
  session_->Open(databasePath);
}

void TMainForm::AfterShowTriggerPaint() {
  ui_.AfterShowTrigger->SetOnPaint(nullptr);
  // The sequence may show a modal box, which must not open inside a paint.
  QTimer::singleShot(0, this, [this] { RunStartupSequence(); });
}

void TMainForm::RunStartupSequence() {
  ui_.AfterShowTrigger->hide();
  // Closing the window gives up a long renewal of the search index (a file
  // of an earlier version), which the next start does again.
  RunWatched([this] {
    session_->Start(articleBaseUrl_, [this] { return !escapeKey_->CloseRequested(); }, proxies_, maxRate_);
  });
  startupHasRun_ = true;
}

void TMainForm::RunWatched(const std::function<void()>& step) {
  bool closeRequested = false;
  {
    EscapeKeyMonitor::Watch watch(*escapeKey_);
    step();
    closeRequested = escapeKey_->CloseRequested();
  }
  if (closeRequested) close();
}

bool TMainForm::CloseDatabase(std::string& error) {
  if (std::exchange(closed_, true)) return true;
  return session_->Shutdown(error);
}

void TMainForm::BtnVersionClick() {
  try {
    ShowAboutBox();
  } catch (const std::exception& e) {  // nothing may leave an event handler
    ShowMessageBox(e.what(), MbIconStop);
  }
}

void TMainForm::BtnSearchClick() {
  RunWatched([this] {
    ArticleListing listing =
        RunArticleSearch(ui_.EditWord->text(), *ui_.MemResult, *ui_.MemErr,
                         [this] { return escapeKey_->EscPressed() || escapeKey_->CloseRequested(); });
    if (listing.ok) resultHits_->Keep(std::move(listing.hits), std::move(listing.hitLines));
  });
}

// The box opens after the queries have let go of the database.
void TMainForm::BtnStatusClick() { ShowMessageBox(FormatStatusReport(QueryStatusFigures()), MbIconInformation); }

}  // namespace velt
