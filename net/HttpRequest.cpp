#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>

#include "net/Http.h"
#include "net/SocketOps.h"
#include "platform/Error.h"

namespace velt {
namespace {

using Clock = std::chrono::steady_clock;
using net_detail::RaiseSystemError;
using net_detail::Socket;

void SetSendTimeout(const Socket& socket, std::chrono::milliseconds limit) {
  timeval value{};
  value.tv_sec = static_cast<time_t>(limit.count() / 1000);
  value.tv_usec = static_cast<suseconds_t>((limit.count() % 1000) * 1000);
  if (::setsockopt(socket.fd(), SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) != 0) {
    RaiseSystemError(errno);
  }
}

void Fetch(const std::string& host, const std::string& request, const ReceiveHandler& handler,
           const HttpTimeouts& timeouts) {
  const auto deadline = Clock::now() + timeouts.fetch;
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (socket.fd() < 0) RaiseSystemError(errno);

  const std::uint32_t address = ResolveHost(host);
  net_detail::ConnectWithin(socket, address, kHttpPort, timeouts.io);

  SetSendTimeout(socket, timeouts.io);
  // A peer that has gone must give an error here, not a signal that ends
  // the process.
  if (::send(socket.fd(), request.data(), request.size(), MSG_NOSIGNAL) < 0) {
    RaiseSystemError(errno);
  }

  std::array<char, kReceiveBufferSize> buffer;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return;
    if (!net_detail::WaitReadable(socket, std::min(left, timeouts.receive))) return;
    buffer.fill(0);
    ssize_t count;
    do {
      count = ::recv(socket.fd(), buffer.data(), buffer.size(), 0);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) return;
    if (!handler(buffer.data(), static_cast<int>(count))) return;
  }
}

}  // namespace

bool HttpRequest(const std::string& host, const std::string& request,
                 const ReceiveHandler& handler, const HttpTimeouts& timeouts) {
  try {
    Fetch(host, request, handler, timeouts);
  } catch (const std::exception& error) {
    // Whatever class the first error had, callers see the general one.
    throw Error(error.what());
  }
  return true;
}

// Sockets need no process-wide registration here; the two calls keep their
// place at program start and end.
void NetStartup() {}
void NetCleanup() {}

}  // namespace velt
