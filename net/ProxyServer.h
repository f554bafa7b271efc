// A proxy that fetches go through: its address, its credentials, and the
// texts the log and the proxy itself get of it.
//
// A proxy URL is "scheme://[user[:password]@]host[:port]", the scheme
// optional (http) and in either case, a trailing "/..." ignored; the port
// is 1080 when none is given, as the system's other programs assume. User
// and password are percent-decoded. The schemes:
//   http      relays plain HTTP itself and tunnels HTTPS with CONNECT
//   socks5    a SOCKS5 proxy, given the site's address looked up here
//   socks5h   a SOCKS5 proxy, given the site's name to look up itself
// A SOCKS5 proxy carries the site's own bytes both ways, HTTP or TLS; its
// user and password go in its own exchange, at most 255 bytes each. Pure
// functions on texts; any thread.
#pragma once

#include <string>

namespace velt {

inline constexpr int kDefaultProxyPort = 1080;

enum class ProxyKind { Http, Socks5, Socks5h };

struct ProxyServer {
  ProxyKind kind = ProxyKind::Http;
  std::string host;
  int port = kDefaultProxyPort;
  std::string user;  // empty: the proxy asks for no credentials
  std::string password;

  // "host:port", as errors and CONNECT name the proxy: never a credential.
  std::string Name() const;
  // The URL with its whole user part masked, for the log.
  std::string Display() const;
  // The Proxy-Authorization header line with its CRLF, "" without a user.
  std::string AuthorizationLine() const;
  // Whether plain HTTP goes to the proxy itself, as a request naming the
  // absolute URL, rather than through a connection to the site.
  bool RelaysHttp() const { return kind == ProxyKind::Http; }
};

// Why the text is no proxy URL ("" when it is one, filling proxy).
std::string ParseProxyUrl(const std::string& text, ProxyServer& proxy);

}  // namespace velt
