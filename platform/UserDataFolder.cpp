#include "platform/UserDataFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace velt {

std::string UserDataHomeFrom(const char* xdgDataHome, const char* home) {
  // A relative value is invalid by the rules and must be ignored.
  if (xdgDataHome && xdgDataHome[0] == '/') return xdgDataHome;
  return std::string(home ? home : "") + "/.local/share";
}

std::string UserDataHome() { return UserDataHomeFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

bool FolderIsWritable(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool MakeUserFolder(const std::string& folder) {
  // Each missing level is made private from its first moment, as the
  // base-directory rules ask of the data folder itself; folders that exist
  // keep their mode.
  std::filesystem::path made;
  for (const std::filesystem::path& part : std::filesystem::path(folder)) {
    made /= part;
    ::mkdir(made.c_str(), 0700);
  }
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

}  // namespace velt
