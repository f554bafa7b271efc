// The life of the program's one database session (store's `Database`).
//
// OpenIndexDatabase removes what killed compactions left beside the file
// (an error line when it cannot), creates the session and opens it on the
// path, making the file when it is missing; it logs "CONNECTED:" and the path, or the
// error followed by the fatal notice, and the session exists either way.
// It returns whether the file is open. CloseIndexDatabase compacts,
// closes and frees it; it logs nothing and returns whether the session was
// open, compacted and closed with nothing left beside the file to merge,
// with the error text otherwise.
// OpenIndexDatabaseToRead opens the session on an existing file only and
// logs nothing, for a run that reads and ends: close it by resetting
// `Database`, without compaction. Main thread only, while no other thread
// uses the session.
#pragma once

#include <string>

namespace velt {

class RunLog;

bool OpenIndexDatabase(const std::string& path, RunLog& log);
bool CloseIndexDatabase(std::string& error);
bool OpenIndexDatabaseToRead(const std::string& path, std::string& error);

}  // namespace velt
