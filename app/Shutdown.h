// The waits of the main window's shutdown.
//
// Both run on the main thread and keep serving the other threads'
// main-thread steps while they wait, so a thread that hands the main
// thread a step (a log line, a claim, the removal of its list line) is
// never left waiting for a main thread that waits for it.
#pragma once

namespace velt {

class Thread;
class WorkerList;

// Sets the thread's stop request and returns when its run has ended.
void StopAndAwait(Thread& thread);

// Returns when the last worker has removed its line; sleeps between steps.
void AwaitEmptyWorkerList(const WorkerList& workers);

}  // namespace velt
