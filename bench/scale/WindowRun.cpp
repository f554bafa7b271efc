#include "bench/scale/WindowRun.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/MainForm.h"
#include "bench/scale/Timing.h"
#include "platform/MainThread.h"

namespace velt::scale {

WindowRun::WindowRun(const std::string& databasePath) {
  startup_ = Seconds([&] {
    form_ = std::make_unique<TMainForm>(databasePath, ArticleBaseUrl);
    form_->show();
    for (int i = 0; i < 100000 && !form_->StartupHasRun(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
  });
  if (!form_->StartupHasRun()) {
    std::fprintf(stderr, "the window's start-up sequence did not run\n");
    std::exit(1);
  }
}

WindowRun::~WindowRun() { Close(); }

double WindowRun::Close() {
  if (!form_) return 0;
  return Seconds([&] { form_.reset(); });
}

void ServeFor(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    ServeMainThreadSteps();
    WaitForMainThreadWork(std::chrono::milliseconds(2));
  }
}

}  // namespace velt::scale
