// A crawl without a window (--headless).
//
// The same database file, start-up (CrawlSession.h) and dispatcher as the
// window, with the worker count and retry of the command line fixed for
// the run and the log on standard output (HeadlessLog.h). Every
// ProgressInterval a progress line follows (CrawlProgress.h). The first
// SIGINT or SIGTERM, or the end of --for, shuts the crawl down as closing
// the window does: no new worker, the running ones waited for, the file
// compacted and closed; a final progress line ends the output.
//
// Returns the exit code: 0 when the database opened, its start-up ran and
// it was compacted and closed cleanly, 2 when the file holds another
// site's articles (nothing was claimed), 1 otherwise. Needs no display and
// no Qt application. Main thread only (platform/MainThread.h's main
// thread), once per process.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace velt {

struct CommandLine;
struct ProxyRoutes;

inline constexpr std::chrono::seconds ProgressInterval{10};

// Fetches go through the proxies' routes (direct without them).
int RunHeadless(const CommandLine& line, const std::string& databasePath,
                std::shared_ptr<const ProxyRoutes> proxies = nullptr);

}  // namespace velt
