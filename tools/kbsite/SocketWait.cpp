#include "tools/kbsite/SocketWait.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace velt::kbsite {
namespace {
// A client that takes no data for this long has gone.
constexpr int kStallMs = 10000;

// A plain socket call's outcome in the form of a TLS step.
TlsStep PlainStep(ssize_t result, short event) {
  if (result > 0) return {static_cast<std::size_t>(result), 0};
  if (result < 0 && (errno == EAGAIN || errno == EINTR)) return {0, event};
  return {};
}

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

TlsStep SocketWait::ReadStep(int fd, char* buffer, std::size_t size) const {
  if (tls_ != nullptr) return TlsReadStep(tls_, buffer, size);
  return PlainStep(::recv(fd, buffer, size, MSG_DONTWAIT), POLLIN);
}

TlsStep SocketWait::WriteStep(int fd, std::string_view data) const {
  if (tls_ != nullptr) return TlsWriteStep(tls_, data.data(), data.size());
  return PlainStep(::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT), POLLOUT);
}

bool SocketWait::Stopped() const { return Wait(-1, 0, 0) < 0; }

bool SocketWait::Pause(int ms) const { return Wait(-1, 0, ms) == 0; }

bool SocketWait::SendAll(int fd, std::string_view data) const {
  short event = POLLOUT;
  while (!data.empty()) {
    if (Wait(fd, event, kStallMs) != 1) return false;
    const TlsStep step = WriteStep(fd, data);
    if (step.count == 0 && step.waitFor == 0) return false;
    data.remove_prefix(step.count);
    event = step.count > 0 ? POLLOUT : step.waitFor;
  }
  return true;
}

bool SocketWait::ReadSome(int fd, std::string& text, int ms) const {
  // TLS may hold decrypted bytes that the socket no longer shows.
  if ((tls_ == nullptr || SSL_pending(tls_) == 0) && Wait(fd, POLLIN, ms) != 1) return false;
  char buffer[4096];
  const TlsStep step = ReadStep(fd, buffer, sizeof buffer);
  text.append(buffer, step.count);
  return step.count > 0 || step.waitFor != 0;
}

bool SocketWait::Handshake(int fd, int ms) const {
  for (;;) {
    const TlsStep step = TlsHandshakeStep(tls_);
    if (step.count > 0) return true;
    if (step.waitFor == 0 || Wait(fd, step.waitFor, ms) != 1) return false;
  }
}

}  // namespace velt::kbsite
