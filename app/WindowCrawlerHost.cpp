#include "app/WindowCrawlerHost.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTimer>

#include "app/MessageLog.h"
#include "app/UpDown.h"
#include "app/WorkerList.h"
#include "about/MessageBox.h"

namespace velt {

int WindowCrawlerHost::MaxThreads() const { return threadCount_.Position(); }

int WindowCrawlerHost::ThreadCount() const { return workers_.Count(); }

bool WindowCrawlerHost::Retry302() const { return retry302_.isChecked(); }

int WindowCrawlerHost::RefreshDays() const { return refresh_.isChecked() ? refreshDays_.value() : -1; }

void WindowCrawlerHost::WatchControls(std::function<void()> changed) {
  threadCount_.SetOnChange(changed);
  QObject::disconnect(retry302Watch_);
  QObject::disconnect(refreshWatch_);
  QObject::disconnect(refreshDaysWatch_);
  retry302Watch_ = QObject::connect(&retry302_, &QCheckBox::toggled, [changed] { changed(); });
  refreshWatch_ = QObject::connect(&refresh_, &QCheckBox::toggled, [changed] { changed(); });
  refreshDaysWatch_ = QObject::connect(&refreshDays_, &QSpinBox::valueChanged, [changed] { changed(); });
}

void WindowCrawlerHost::WriteLog(const std::string& text, int level) { log_.WriteLog(text, level); }

void WindowCrawlerHost::AddToThreadList(const std::string& url, const void* worker) {
  workers_.Add(url, worker);
  progress_.Claimed(url);
}

void WindowCrawlerHost::RemoveFromThreadList(const void* worker) { workers_.Remove(worker); }

void WindowCrawlerHost::StoreFullChanged(bool full) {
  if (!full) return;
  // Shown after this step has returned: the crawler's thread waits for it.
  QTimer::singleShot(0, [] {
    ShowMessageBox("ディスクに空きがないため、記事をデータベースに保存できません。\n"
                   "空きができるまでダウンロードを止めています。",
                   MbIconWarning);
  });
}

}  // namespace velt
