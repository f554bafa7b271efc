// Runs a script in the sqlite3 shell on a database file and reports the
// time the shell itself measured for each statement (".timer on"), so
// process start and schema loading are left out.
#pragma once

#include <string>
#include <vector>

namespace velt::scale {

struct ShellRun {
  std::vector<double> seconds;     // one per timed statement
  std::vector<std::string> lines;  // everything else the shell printed
};

// `script` is fed to "sqlite3 -batch <file>" after ".load <extension>"
// (when not empty) and ".timer on". Exits the program when the shell fails.
ShellRun RunShell(const std::string& file, const std::string& extension, const std::string& script);

}  // namespace velt::scale
