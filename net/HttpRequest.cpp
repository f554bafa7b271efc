#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>
#include <optional>

#include "net/AnswerHead.h"
#include "net/Channel.h"
#include "net/FetchRequest.h"
#include "net/Http.h"
#include "net/ProxyAnswerHead.h"
#include "platform/Error.h"

namespace velt {
namespace {

using net_detail::Channel;
using net_detail::Clock;
using net_detail::RaiseSystemError;
using net_detail::Socket;

// One receive under the fetch's limits: the count, 0 once the peer has
// closed. An answer cut short by either limit is no answer: the caller must
// not take what arrived for the whole page.
int ReceiveWithin(Channel& channel, char* buffer, Clock::time_point deadline, const HttpTimeouts& timeouts) {
  if (Clock::now() >= deadline) throw Error(kFetchDeadlineText);
  const auto until = std::min(deadline, Clock::now() + timeouts.receive);
  std::fill_n(buffer, kReceiveBufferSize, 0);
  const auto count = channel.Receive(buffer, kReceiveBufferSize, until);
  if (!count) {
    if (until == deadline) throw Error(kFetchDeadlineText);
    RaiseSystemError(ETIMEDOUT);
  }
  return *count;
}

// Asks the proxy for a tunnel to the site; the socket then carries the
// site's own bytes.
void OpenTunnel(const Socket& socket, const FetchTarget& target, const ProxyServer& proxy,
                Clock::time_point deadline, const HttpTimeouts& timeouts) {
  const auto plain = net_detail::OpenPlainChannel(socket);
  plain->Send(ConnectRequest(target, proxy), timeouts.io);
  AnswerHead head;
  std::array<char, kReceiveBufferSize> buffer;
  for (bool complete = false; !complete;) {
    const int count = ReceiveWithin(*plain, buffer.data(), deadline, timeouts);
    if (count == 0) throw Error(net_detail::ProxyClosedText(proxy));
    complete = head.Add(buffer.data(), count);
  }
  const int code = StatusCode(head.Received());
  if (code / 100 == 2) return;
  // A proxy that cannot reach the site says so with a 5xx: that may heal.
  if (net_detail::IsTunnelRefusal(code, proxy)) throw ProxyRefusal(net_detail::ProxyRefusedText(proxy, head));
  throw Error(net_detail::ProxyRefusedText(proxy, head));
}

// The handler behind a proxy that relays plain HTTP: the answer's head is
// held until it is complete, so that the proxy's own refusal never reaches
// the caller as the site's answer.
class RelayedAnswer {
 public:
  RelayedAnswer(const ProxyServer& proxy, const ReceiveHandler& handler) : proxy_(proxy), handler_(handler) {}

  bool Take(const char* bytes, int count) {
    if (head_.Complete()) return handler_(bytes, count);
    if (!head_.Add(bytes, count)) return true;
    if (net_detail::IsProxyRefusal(StatusCode(head_.Received()), proxy_)) {
      throw ProxyRefusal(net_detail::ProxyRefusedText(proxy_, head_));
    }
    const std::string& held = head_.Received();
    for (std::size_t at = 0; at < held.size(); at += kReceiveBufferSize) {
      const std::size_t size = std::min<std::size_t>(kReceiveBufferSize, held.size() - at);
      if (!handler_(held.data() + at, static_cast<int>(size))) return false;
    }
    return true;
  }

  void Closed() const {
    if (!head_.Complete()) throw Error(net_detail::ProxyClosedText(proxy_));
  }

 private:
  const ProxyServer& proxy_;
  const ReceiveHandler& handler_;
  AnswerHead head_;
};

void Fetch(const FetchTarget& target, const std::string& request, const ReceiveHandler& handler,
           const HttpTimeouts& timeouts, const ProxyServer* proxy) {
  const auto deadline = Clock::now() + timeouts.fetch;
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (socket.fd() < 0) RaiseSystemError(errno);

  // Behind a proxy only the proxy is looked up: the site's name may be
  // known to it alone.
  const auto connectLimit = [&] { return std::min(Clock::now() + timeouts.io, deadline); };
  const std::uint32_t address = ResolveHostCached(proxy ? proxy->host : target.host, connectLimit());
  net_detail::ConnectWithin(socket, address, proxy ? proxy->port : target.port, timeouts.io);
  if (proxy && target.tls) OpenTunnel(socket, target, *proxy, deadline, timeouts);
  const auto channel = target.tls ? net_detail::OpenTlsChannel(socket, target.host, target.port, connectLimit())
                                  : net_detail::OpenPlainChannel(socket);
  channel->Send(request, timeouts.io);

  std::optional<RelayedAnswer> relayed;
  if (proxy && !target.tls) relayed.emplace(*proxy, handler);
  std::array<char, kReceiveBufferSize> buffer;
  for (;;) {
    const int count = ReceiveWithin(*channel, buffer.data(), deadline, timeouts);
    if (count == 0) {
      if (relayed) relayed->Closed();
      return;
    }
    if (!(relayed ? relayed->Take(buffer.data(), count) : handler(buffer.data(), count))) return;
  }
}

}  // namespace

bool HttpRequest(const FetchTarget& target, const std::string& request, const ReceiveHandler& handler,
                 const HttpTimeouts& timeouts, const ProxyServer* proxy) {
  try {
    Fetch(target, request, handler, timeouts, proxy);
  } catch (const ProxyRefusal&) {
    throw;
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
