#include "platform/StopSignals.h"

#include <csignal>

namespace velt {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void Handle(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);  // sigaction may be called inside a handler
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

extern "C" void OnStopSignal(int) {
  stopRequested = 1;
  Handle(SIG_DFL);
}

}  // namespace

void CatchStopSignals() { Handle(OnStopSignal); }

bool StopSignalReceived() { return stopRequested != 0; }

void IgnoreBrokenPipes() {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace velt
