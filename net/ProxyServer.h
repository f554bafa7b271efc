// A proxy that fetches go through: its address, its credentials, and the
// texts the log and the proxy itself get of it.
//
// A proxy URL is "http://[user[:password]@]host[:port]", the scheme
// optional and in either case, a trailing "/..." ignored; the port is 1080
// when none is given, as the system's other programs assume. User and
// password are percent-decoded. Pure functions on texts; any thread.
#pragma once

#include <string>

namespace velt {

inline constexpr int kDefaultProxyPort = 1080;

struct ProxyServer {
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
};

// Why the text is no proxy URL ("" when it is one, filling proxy).
std::string ParseProxyUrl(const std::string& text, ProxyServer& proxy);

}  // namespace velt
