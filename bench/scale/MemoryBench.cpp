// Memory of the whole program while 30 workers fetch 1 MB pages: the main
// window on a copy of a full database, the retry box checked so that the
// redirected rows are fetched again, against the sample site serving 1 MB
// pages on port 80 (run it in a network namespace: bench/scale/run.sh
// does). Peak resident size beside the size right after start-up.
//
//   scale_memory_bench <full.mdb> [seconds, default 30]
#include <QApplication>
#include <QCheckBox>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/MainForm.h"
#include "app/MainThreadWakeup.h"
#include "app/UpDown.h"
#include "bench/scale/WindowRun.h"
#include "platform/MainThread.h"
#include "tools/kbsite/SiteProcess.h"

namespace fs = std::filesystem;

namespace {

// A figure of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMegabytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::atof(line.c_str() + field.size() + 1) / 1024.0;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s <full.mdb> [seconds]\n", argv[0]);
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 30;
  velt::SetMainThread();
  QApplication application(argc, argv);
  velt::ScopedMainThreadWakeup wakeup;
  velt::kbsite::SiteProcess site({"--page-size", "1048576"});
  const fs::path copy = fs::temp_directory_path() / ("scale_memory_" + std::to_string(::getpid()) + ".mdb");
  fs::copy_file(argv[1], copy);

  double idle = 0, busiest = 0;
  {
    velt::scale::WindowRun window(copy.string());
    velt::scale::ServeFor(1);
    idle = StatusMegabytes("VmRSS");
    window.Form().findChild<QCheckBox*>("ChkRetry302")->setChecked(true);
    window.Form().findChild<velt::TUpDown*>("UpdnThreadCount")->SetPosition(30);
    for (double t = 0; t < seconds; t += 0.25) {
      velt::scale::ServeFor(0.25);
      busiest = std::max(busiest, StatusMegabytes("VmRSS"));
    }
    window.Form().findChild<velt::TUpDown*>("UpdnThreadCount")->SetPosition(0);
  }
  const std::size_t pages = site.ServedLines().size();
  site.Stop();
  fs::remove(copy);
  const double peak = StatusMegabytes("VmHWM");
  std::printf("memory, 30 workers on 1 MB pages (%zu pages served in %.0f s):\n", pages, seconds);
  std::printf("  %-28s peak %8.1f MB   after start-up %8.1f MB   ratio %6.2f (target: peak < 200 MB)\n",
              "resident size", peak, idle, peak / idle);
  std::printf("  %-28s %8.1f MB\n", "largest sample while fetching", busiest);
  return pages > 0 && peak < 200 ? 0 : 1;
}
