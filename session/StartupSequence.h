// The one-shot start-up sequence that follows the first showing of the
// main window.
//
// RunIndexStartup runs the index upkeep (table and view when missing,
// reopen after a creation, the search index brought up to date,
// zero-length text, reset of claimed rows), logging each step at level 0,
// with the log's busy sign shown meanwhile. While the search index
// is rebuilt (minutes on a large file of an earlier version) `keepAlive`
// runs every few tens of milliseconds (a window keeps itself painted
// there; it must not use the database). On failure, also
// when the database is not open, it logs the error at level 1, shows the
// fatal notice and returns false: the crawl must then not start. When
// `keepAlive` answers false, the rebuild is given up and undone (the next
// start does it again); the sequence then logs kUpkeepAbandonedText at
// level 0 and returns false without the notice. Main thread only, before
// any other thread uses the database (it takes no lock).
#pragma once

#include <functional>

namespace velt {

class RunLog;

bool RunIndexStartup(RunLog& log, const std::function<bool()>& keepAlive);

}  // namespace velt
