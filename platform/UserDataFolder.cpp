#include "platform/UserDataFolder.h"

#include <fcntl.h>
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
  std::error_code error;
  if (std::filesystem::create_directories(folder, error)) {
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
  }
  return std::filesystem::is_directory(folder, error);
}

}  // namespace velt
