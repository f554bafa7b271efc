#include "store/FileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/PathParts.h"

namespace velt {

namespace {

// A rename is durable only once its directory entry is on disk.
void SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
  }

  std::string CreateUniqueFile(const std::string& folder, const std::string& prefix) override {
    static std::atomic<unsigned> counter{static_cast<unsigned>(
        ::getpid() ^ std::chrono::steady_clock::now().time_since_epoch().count())};
    const std::string stem = PathIn(folder, prefix.substr(0, 3));
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
      char number[8];
      std::snprintf(number, sizeof number, "%X", counter++ & 0xFFFFu);
      const std::string path = stem + number + ".tmp";
      const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) {
        ::close(fd);
        return path;
      }
      if (errno != EEXIST) return {};
    }
    return {};
  }

  bool Remove(const std::string& path, std::string& error) override {
    if (::unlink(path.c_str()) == 0) return true;
    error = "Could not delete '" + path + "': " + std::strerror(errno);
    return false;
  }

  bool Rename(const std::string& from, const std::string& to, std::string& error) override {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
      error = "Could not rename '" + from + "' to '" + to + "': " + std::strerror(errno);
      return false;
    }
    SyncDirectory(FolderOf(to));
    return true;
  }
};

}  // namespace

FileSystem& DefaultFileSystem() {
  static RealFileSystem fileSystem;
  return fileSystem;
}

}  // namespace velt
