#include "app/WindowCrawlerHost.h"

#include <QCheckBox>
#include <QSpinBox>

#include "app/MessageLog.h"
#include "app/UpDown.h"
#include "app/WorkerList.h"

namespace velt {

int WindowCrawlerHost::MaxThreads() const { return threadCount_.Position(); }

int WindowCrawlerHost::ThreadCount() const { return workers_.Count(); }

bool WindowCrawlerHost::Retry302() const { return retry302_.isChecked(); }

int WindowCrawlerHost::RefreshDays() const { return refresh_.isChecked() ? refreshDays_.value() : -1; }

void WindowCrawlerHost::WriteLog(const std::string& text, int level) { log_.WriteLog(text, level); }

void WindowCrawlerHost::AddToThreadList(const std::string& url, const void* worker) {
  workers_.Add(url, worker);
  progress_.Claimed(url);
}

void WindowCrawlerHost::RemoveFromThreadList(const void* worker) { workers_.Remove(worker); }

}  // namespace velt
