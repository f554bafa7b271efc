// kbsite: the sample knowledge-base site (see kbsite --help).
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/kbsite/SiteServer.h"

namespace {

int g_stopWrite = -1;

void OnStopSignal(int) {
  const char byte = 1;
  // Nothing to do if the pipe is full: it is readable already.
  [[maybe_unused]] const ssize_t ignored = ::write(g_stopWrite, &byte, 1);
}

bool InstallStopSignals(int& stopRead) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  stopRead = fds[0];
  g_stopWrite = fds[1];
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // OpenSSL writes with write(): a client that has gone must not end the site.
  return ::signal(SIGPIPE, SIG_IGN) != SIG_ERR && ::sigaction(SIGTERM, &action, nullptr) == 0 &&
         ::sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velt::kbsite;
  SiteOptions options;
  std::string error;
  if (!ParseSiteOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "kbsite: %s (see kbsite --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(SiteUsage().c_str(), stdout);
    return 0;
  }
  int stopRead = -1;
  if (!InstallStopSignals(stopRead)) {
    std::perror("kbsite: signals");
    return 1;
  }
  ServedLog log(stdout);
  SiteServer server(options, log);
  if (!server.Listen(error)) {
    std::fprintf(stderr, "kbsite: cannot serve: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr, "kbsite: serving %s on 127.0.0.1:%d (seed %u)\n",
               options.tlsCertificate.empty() ? "HTTP" : "HTTPS", options.port, options.seed);
  server.Serve(stopRead);
  std::fprintf(stderr, "kbsite: stopped\n");
  return 0;
}
