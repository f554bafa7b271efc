#include "app/Shutdown.h"

#include <chrono>

#include "app/WorkerList.h"
#include "platform/MainThread.h"
#include "platform/Thread.h"

namespace velt {

void StopAndAwait(Thread& thread) {
  thread.Terminate();
  thread.WaitFor();
}

void AwaitEmptyWorkerList(const WorkerList& workers) {
  while (workers.Count() > 0) {
    if (!ServeMainThreadSteps()) WaitForMainThreadWork(std::chrono::milliseconds(100));
  }
}

}  // namespace velt
