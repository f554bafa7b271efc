// Where the index database lies: beside the executable, under its name.
//
// The extension of the executable's file name (from its last ".") is
// replaced by ".mdb"; a file name without one gets ".mdb" appended. A "."
// in a folder name never counts. Pure function, safe from any thread.
#pragma once

#include <string>

namespace velt {

std::string DatabasePathForExecutable(const std::string& executablePath);

}  // namespace velt
