#include "tools/kbsite/SocketWait.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace velt::kbsite {
namespace {
// A client that takes no data for this long has gone.
constexpr int kStallMs = 10000;
}  // namespace

int SocketWait::Wait(int fd, short events, int ms) const {
  pollfd entries[2] = {{stopFd_, POLLIN, 0}, {fd, events, 0}};
  const nfds_t count = fd < 0 ? 1 : 2;
  for (;;) {
    const int ready = ::poll(entries, count, ms);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || entries[0].revents != 0) return -1;
    return ready == 0 ? 0 : 1;
  }
}

bool SocketWait::Stopped() const { return Wait(-1, 0, 0) < 0; }

bool SocketWait::Pause(int ms) const { return Wait(-1, 0, ms) == 0; }

bool SocketWait::SendAll(int fd, std::string_view data) const {
  while (!data.empty()) {
    if (Wait(fd, POLLOUT, kStallMs) != 1) return false;
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool SocketWait::ReadSome(int fd, std::string& text, int ms) const {
  if (Wait(fd, POLLIN, ms) != 1) return false;
  char buffer[4096];
  const ssize_t count = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (count < 0) return errno == EAGAIN || errno == EINTR;
  if (count == 0) return false;
  text.append(buffer, static_cast<std::size_t>(count));
  return true;
}

}  // namespace velt::kbsite
