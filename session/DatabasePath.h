// Where the index database lies.
//
// Beside the executable, under its name: the extension of the executable's
// file name (from its last ".") is replaced by ".mdb"; a file name without
// one gets ".mdb" appended. A "." in a folder name never counts. When the
// executable's folder takes no new files (an installed copy under /usr),
// the same file name lies in the folder named after the application title
// inside the user's data folder instead, so a portable copy keeps its file
// beside it and an installed one still starts.
//
// The pure functions are safe from any thread; IndexDatabasePath reads the
// environment and may make a folder.
#pragma once

#include <string>

namespace velt {

std::string DatabasePathForExecutable(const std::string& executablePath);

// The choice above for an executable whose folder is, or is not, writable,
// with `dataHome` the user's data folder.
std::string ChooseDatabasePath(const std::string& executablePath, bool besideIsWritable,
                               const std::string& dataHome);

// The running program's database path; makes its data folder when that is
// the choice and the folder is missing.
std::string IndexDatabasePath();

}  // namespace velt
