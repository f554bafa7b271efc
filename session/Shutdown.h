// The waits of the crawl's shutdown, in the window or a headless run.
//
// Both run on the main thread and keep serving the other threads'
// main-thread steps while they wait, so a thread that hands the main
// thread a step (a log line, a claim, the removal of its list line) is
// never left waiting for a main thread that waits for it.
#pragma once

namespace velt {

class CrawlerHost;
class Thread;

// Sets the thread's stop request and returns when its run has ended.
void StopAndAwait(Thread& thread);

// Returns when the host counts no running worker, that is when the last
// one has removed its line; sleeps between steps. A slow or silent site
// must not hold the close: fetches still running five seconds after the
// call give up, and their rows stay claimed for the next start.
void AwaitEmptyWorkerList(const CrawlerHost& host);

}  // namespace velt
