// Program run: the command line chooses the run. Without options the
// window: module start, the GUI application with its main window and
// message loop, the close of the window's database, module end. The other
// runs need no display (CommandLine.h).
#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "session/CommandLine.h"
#include "session/CommandLineSecrets.h"
#include "session/ConsoleReports.h"
#include "session/DatabasePath.h"
#include "session/HeadlessRun.h"
#include "app/MainForm.h"
#include "app/MainThreadWakeup.h"
#include "net/DesktopProxy.h"
#include "net/Http.h"
#include "net/ProxyChoice.h"
#include "platform/MainThread.h"
#include "platform/StopSignals.h"

namespace {

int RunWindow(int argc, char* argv[], const std::string& databasePath, const std::string& site,
              std::shared_ptr<const velt::ProxyRoutes> proxies, double maxRate, int refreshDays) {
  QApplication application(argc, argv);
  velt::ScopedMainThreadWakeup wakeup;
  velt::TMainForm form(databasePath, site, std::move(proxies), maxRate, refreshDays);
  form.show();
  const int code = QApplication::exec();
  // The window is gone: standard error is left to say why the file was
  // not closed cleanly, and the exit code says that it was not.
  std::string error;
  if (!form.CloseDatabase(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return code != 0 ? code : 1;
  }
  return code;
}

std::string ProgramName(const char* argv0) {
  const std::string path = argv0 ? argv0 : "VeltIndexer";
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string program = ProgramName(argv[0]);
  velt::CommandLine line;
  std::string error;
  auto proxies = std::make_shared<velt::ProxyRoutes>();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  velt::BlankSecretArguments(argc, argv);
  bool valid = velt::ParseCommandLine(arguments, line, error);
  if (valid && (line.mode == velt::RunMode::Window || line.mode == velt::RunMode::Headless)) {
    error = velt::ChooseProxyRoutes(line.proxy, velt::ProcessEnvironment(), *proxies);
    // A proxy the environment names wrongly for the site is refused before
    // anything opens, as the command line's is: a crawl past it would go
    // direct unnoticed. The window opens and says so itself.
    if (error.empty() && line.mode == velt::RunMode::Headless) error = proxies->Refusal(line.site);
    valid = error.empty();
    proxies->origin = line.proxy.empty() ? "THE ENVIRONMENT" : "--proxy";
    if (velt::DesktopDecides(line.proxy, velt::ProcessEnvironment())) {
      proxies->desktop = std::make_shared<velt::ProxyChain>();
    }
  }
  if (!valid) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program.c_str(), error.c_str(), program.c_str());
    return 2;
  }
  if (line.mode == velt::RunMode::Help) {
    std::fputs(velt::UsageText(program).c_str(), stdout);
    return 0;
  }

  velt::SetMainThread();
  velt::IgnoreBrokenPipes();  // a cut output must not cut the close short
  velt::NetStartup();
  const std::string databasePath = line.database.empty() ? velt::IndexDatabasePath() : line.database;
  int exitCode = 0;
  switch (line.mode) {
    case velt::RunMode::Headless:
      exitCode = velt::RunHeadless(line, databasePath, proxies);
      break;
    case velt::RunMode::Search:
      exitCode = velt::PrintSearch(line.searchTerms, databasePath, line.searchFormat);
      break;
    case velt::RunMode::Status:
      exitCode = velt::PrintStatus(databasePath);
      break;
    default:
      exitCode = RunWindow(argc, argv, databasePath, line.site, proxies, line.maxRate, line.refreshDays);
      break;
  }
  velt::NetCleanup();
  return exitCode;
}
