#include "session/Shutdown.h"

#include <chrono>

#include "crawler/CrawlerHost.h"
#include "net/Http.h"
#include "platform/MainThread.h"
#include "platform/Thread.h"

namespace velt {

void StopAndAwait(Thread& thread) {
  thread.Terminate();
  thread.WaitFor();
}

void AwaitEmptyWorkerList(const CrawlerHost& host) {
  // Ample for an article page from a site that answers at all.
  constexpr std::chrono::seconds grace{5};
  SetFetchCutoff(std::chrono::steady_clock::now() + grace);
  while (host.ThreadCount() > 0) {
    if (!ServeMainThreadSteps()) WaitForMainThreadWork(std::chrono::milliseconds(100));
  }
  LiftFetchCutoff();
}

}  // namespace velt
