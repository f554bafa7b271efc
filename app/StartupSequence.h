// The one-shot start-up sequence that follows the first showing of the
// main window.
//
// RunIndexStartup runs the index upkeep (table and view when missing,
// reopen after a creation, the search index brought up to date,
// zero-length text, reset of claimed rows), logging each step at level 0,
// with the busy cursor shown where there is a GUI. While the search index
// is rebuilt (minutes on a large file of an earlier version) the event
// loop keeps running without user input, so the window stays painted. On failure, also when the database is not
// open, it logs the error at level 1, shows the fatal notice and returns
// false: the crawl must then not start. Main thread only, before any other
// thread uses the database (it takes no lock).
#pragma once

namespace velt {

class RunLog;

bool RunIndexStartup(RunLog& log);

}  // namespace velt
