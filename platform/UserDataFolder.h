// The user's own data folder and whether a folder takes new files.
//
// The data folder follows the freedesktop base-directory rules:
// $XDG_DATA_HOME when it is an absolute path, otherwise
// $HOME/.local/share. FolderIsWritable asks the system whether this
// process may create files there, so it is also false for a folder on a
// read-only mount, even for root. Safe on any thread.
#pragma once

#include <string>

namespace velt {

// The data folder from the two variables' values (null when unset).
std::string UserDataHomeFrom(const char* xdgDataHome, const char* home);

// The data folder of the running process's environment.
std::string UserDataHome();

bool FolderIsWritable(const std::string& folder);

// Makes the folder and any missing parents; every folder made here is
// private to the user (mode 0700), one that exists is left as it is. True when the folder exists afterwards.
bool MakeUserFolder(const std::string& folder);

}  // namespace velt
