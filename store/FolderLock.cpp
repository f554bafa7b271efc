#include "store/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace velt {

FolderLock::FolderLock(const std::string& folder, Mode mode, std::chrono::milliseconds wait) {
  const std::string name = folder.empty() ? "." : folder;
  fd_ = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = "Could not open the folder '" + name + "': " + std::strerror(errno);
    return;
  }
  const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (::flock(fd_, operation) == 0) {
      held_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error_ = "Could not lock the folder '" + name + "': " + std::strerror(errno);
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      busy_ = true;
      error_ = "Another process kept the database's folder '" + name + "' busy; gave up waiting.";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace velt
