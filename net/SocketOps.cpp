#include "net/SocketOps.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "net/FetchCutoff.h"
#include "platform/Error.h"

namespace velt::net_detail {

Socket::~Socket() {
  if (fd_ >= 0) ::close(fd_);
}

std::string SystemErrorText(int code) {
  char buffer[256] = {};
  // The GNU variant may return a static text instead of filling the buffer.
  std::string text = ::strerror_r(code, buffer, sizeof buffer);
  while (!text.empty()) {
    const auto last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.' && last != 0x7F) break;
    text.pop_back();
  }
  return text;
}

void RaiseSystemError(int code) { throw Error(SystemErrorText(code)); }

void SetNonBlocking(const Socket& socket, bool on) {
  const int flags = ::fcntl(socket.fd(), F_GETFL);
  if (flags < 0 || ::fcntl(socket.fd(), F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) < 0) {
    RaiseSystemError(errno);
  }
}

bool WaitUntil(const Socket& socket, short events, Clock::time_point deadline) {
  for (;;) {
    RaiseIfCutOff();
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(NextCutoffCheck(deadline) - Clock::now());
    pollfd entry{socket.fd(), events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) RaiseSystemError(errno);
    if (ready == 0 && Clock::now() >= deadline) return false;
  }
}

void ConnectWithin(const Socket& socket, std::uint32_t address, int port,
                   std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port));
  peer.sin_addr.s_addr = address;

  SetNonBlocking(socket, true);
  if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    if (errno != EINPROGRESS) RaiseSystemError(errno);
    if (!WaitUntil(socket, POLLOUT, deadline)) RaiseSystemError(ETIMEDOUT);
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
      RaiseSystemError(errno);
    }
    if (error != 0) RaiseSystemError(error);
  }
  SetNonBlocking(socket, false);
}

}  // namespace velt::net_detail
