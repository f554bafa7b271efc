// The search and the status report printed to standard output (--search,
// --status), for a run that starts no crawl and shows no window.
//
// Each opens the existing database file without changing it (no upkeep,
// no compaction), so it may run beside a crawl of the same file, runs
// exactly what the window's button runs under DatabaseLock, prints the
// text the window would show, and closes the file. PrintSearch prints the
// lines of the result memo; PrintStatus the seven lines of the report
// box. They return the exit code: 0, or 1 with the error on standard
// error when the file cannot be opened or a query fails. Main thread only.
#pragma once

#include <string>

namespace velt {

int PrintSearch(const std::string& terms, const std::string& databasePath);
int PrintStatus(const std::string& databasePath);

}  // namespace velt
