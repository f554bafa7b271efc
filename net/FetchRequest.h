// Every request text the client sends, built in one place: the GET of an
// article, and the CONNECT that asks a proxy for a tunnel.
//
// The GET goes out as HTTP/1.0 with its HOST header ("host:port") and the
// crawl's User-Agent. Whether it is sent direct, relayed or tunnelled is
// decided here once, from the target and the proxy that serves it: a proxy
// that relays plain http gets the absolute URL ("http://host[:port]/path",
// the port only when it is not 80) and its credentials in the request; a
// tunnel's credentials go with CONNECT, and the request inside it names
// the path as a direct one does. `extraLines` are further header lines,
// each ending with CR LF, placed before the empty line.
//
// Pure; any thread.
#pragma once

#include <string>

#include "net/FetchTarget.h"
#include "net/ProxyServer.h"

namespace velt {

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 5.0)";

// `proxy` is the one that serves the target, null when it goes direct.
std::string FetchRequest(const FetchTarget& target, const ProxyServer* proxy, const std::string& extraLines = "");

// "CONNECT host:port HTTP/1.1" with its Host header and the proxy's
// credentials.
std::string ConnectRequest(const FetchTarget& target, const ProxyServer& proxy);

}  // namespace velt
