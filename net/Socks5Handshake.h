// The SOCKS5 exchange (RFC 1928, with RFC 1929's user and password) that
// turns a connection to the proxy into one to the site (internal to net/).
//
// The greeting offers "no authentication", and user and password when the
// proxy URL has a user; the request asks for a TCP connection to the site
// by its IPv4 address (socks5) or by its name (socks5h). Afterwards the
// connection carries the site's own bytes: nothing of the proxy's answer is
// read past its end.
//
// An answer of the proxy that is not a success raises ProxyRefusal
// "[proxy host:port] PROXY REFUSED: SOCKS5 <why>", as any other proxy's
// refusal does, except when the proxy could not reach the site (a general
// failure, network or host unreachable, connection refused, TTL expired):
// a plain error "[proxy host:port] PROXY CANNOT REACH THE SITE: SOCKS5
// <why>", a failure of the site as when fetching direct.
// A proxy that closes halfway raises "[proxy host:port] PROXY CLOSED
// DURING ITS SOCKS5 ANSWER". No text holds a credential. One thread, one
// fetch.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/FetchTarget.h"
#include "net/ProxyServer.h"

namespace velt::net_detail {

// The proxy's side of the connection: Send writes all of the bytes, Receive
// reads up to `size` bytes and returns their count, 0 once the proxy has
// closed; both raise on failure or when a time limit passes.
struct Socks5Link {
  std::function<void(const std::string& bytes)> send;
  std::function<int(char* buffer, int size)> receive;
};

// `siteAddress`: the site's IPv4 address (network byte order) for socks5,
// nothing for socks5h, where the proxy is given the host's name.
void Socks5Connect(const Socks5Link& link, const FetchTarget& target, const ProxyServer& proxy,
                   std::optional<std::uint32_t> siteAddress);

}  // namespace velt::net_detail
