#include "app/Shutdown.h"

#include <chrono>

#include "crawler/CrawlerHost.h"
#include "platform/MainThread.h"
#include "platform/Thread.h"

namespace velt {

void StopAndAwait(Thread& thread) {
  thread.Terminate();
  thread.WaitFor();
}

void AwaitEmptyWorkerList(const CrawlerHost& host) {
  while (host.ThreadCount() > 0) {
    if (!ServeMainThreadSteps()) WaitForMainThreadWork(std::chrono::milliseconds(100));
  }
}

}  // namespace velt
