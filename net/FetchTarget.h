// Where one fetch goes: the scheme, host, port and path of an article URL,
// and the check of a site base URL chosen at start.
//
// "http://host/path" splits exactly as SplitUrl does and goes to port 80 in
// plain text; "http://host:port/path" goes to that port and
// "https://host[:port]/path" to that port (443 without one) over TLS. A
// host whose text after its last ":" is not a port number keeps the colon,
// as SplitUrl leaves it, and goes to the scheme's port. The request's HOST
// header names the host and the port actually used (HostHeader).
//
// Pure functions on texts; safe from any thread.
#pragma once

#include <cstddef>
#include <string>

namespace velt {

inline constexpr int kHttpPort = 80;
inline constexpr int kHttpsPort = 443;
// The URL column holds 100 characters and the article number takes six.
inline constexpr std::size_t kMaxSiteBaseUrlLength = 94;

struct FetchTarget {
  bool tls = false;
  std::string host;
  int port = kHttpPort;
  std::string path;

  // "host:port", as the HOST header carries it.
  std::string HostHeader() const;
};

// False, leaving target alone, for a URL that starts with neither scheme.
bool SplitFetchUrl(const std::string& url, FetchTarget& target);

// Why the URL cannot serve as the base of the article URLs ("" when it
// can): "http://" or "https://", a host name or dotted quad, an optional
// ":port" (1 to 65535), then a path starting with "/" of printable ASCII
// without blanks or "#", at most kMaxSiteBaseUrlLength characters in all.
std::string SiteBaseUrlError(const std::string& url);

}  // namespace velt
