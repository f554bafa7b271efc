#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>

#include "net/Channel.h"
#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

using net_detail::Clock;
using net_detail::RaiseSystemError;
using net_detail::Socket;

void Fetch(const FetchTarget& target, const std::string& request, const ReceiveHandler& handler,
           const HttpTimeouts& timeouts) {
  const auto deadline = Clock::now() + timeouts.fetch;
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (socket.fd() < 0) RaiseSystemError(errno);

  const auto connectLimit = [&] { return std::min(Clock::now() + timeouts.io, deadline); };
  const std::uint32_t address = ResolveHostCached(target.host, connectLimit());
  net_detail::ConnectWithin(socket, address, target.port, timeouts.io);
  const auto channel = target.tls ? net_detail::OpenTlsChannel(socket, target.host, target.port, connectLimit())
                                  : net_detail::OpenPlainChannel(socket);
  channel->Send(request, timeouts.io);

  // An answer cut short by either limit is no answer: the caller must not
  // take what arrived for the whole page.
  std::array<char, kReceiveBufferSize> buffer;
  for (;;) {
    if (Clock::now() >= deadline) throw Error(kFetchDeadlineText);
    const auto until = std::min(deadline, Clock::now() + timeouts.receive);
    buffer.fill(0);
    const auto count = channel->Receive(buffer.data(), static_cast<int>(buffer.size()), until);
    if (!count) {
      if (until == deadline) throw Error(kFetchDeadlineText);
      RaiseSystemError(ETIMEDOUT);
    }
    if (*count == 0) return;
    if (!handler(buffer.data(), *count)) return;
  }
}

}  // namespace

bool HttpRequest(const FetchTarget& target, const std::string& request, const ReceiveHandler& handler,
                 const HttpTimeouts& timeouts) {
  try {
    Fetch(target, request, handler, timeouts);
  } catch (const std::exception& error) {
    // Whatever class the first error had, callers see the general one.
    throw Error(error.what());
  }
  return true;
}

bool HttpRequest(const std::string& host, const std::string& request, const ReceiveHandler& handler,
                 const HttpTimeouts& timeouts) {
  FetchTarget target;
  target.host = host;
  return HttpRequest(target, request, handler, timeouts);
}

// Sockets need no process-wide registration here; the two calls keep their
// place at program start and end.
void NetStartup() {}
void NetCleanup() {}

}  // namespace velt
