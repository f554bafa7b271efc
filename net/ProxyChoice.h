// Which proxy, if any, serves a fetch, by the rules that the system's other
// programs follow for their environment:
//   http_proxy             for http:// sites (lower case only: a web
//                          server's CGI environment sets HTTP_PROXY from a
//                          request's "Proxy:" header)
//   https_proxy, HTTPS_PROXY  for https:// sites
//   all_proxy, ALL_PROXY   for either when its own is not set
//   no_proxy, NO_PROXY     hosts that go direct: names separated by commas
//                          or blanks, each covering its subdomains too
//                          (a leading "." changes nothing), an optional
//                          ":port" limiting it to that port, IP addresses
//                          compared as written or as a network in CIDR
//                          form ("10.0.0.0/8", "fd00::/8"; an IPv6 entry
//                          may stand in brackets), "*" for every host
// The first name set to a non-empty value decides: an empty variable
// counts as unset. A proxy URL that the environment names but that we
// cannot use is refused only for its scheme: the routes keep why, and a
// site of that scheme (unless no_proxy sends it direct) must not be
// crawled, since it would otherwise go direct unnoticed. A choice made on
// the command line replaces the environment whole: one proxy for both
// schemes and every host, or none.
//
// Pure functions on texts (the environment comes through a lookup); the
// routes are read once at start and then only read, from any thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/FetchTarget.h"
#include "net/ProxyServer.h"

namespace velt {

inline constexpr char kNoProxyOption[] = "direct";

struct ProxyRoutes {
  std::optional<ProxyServer> http;
  std::optional<ProxyServer> https;
  std::vector<std::string> direct;  // the no_proxy entries
  // Why the environment's proxy for the scheme is refused; "" when it is not.
  std::string httpRefused;
  std::string httpsRefused;

  // The proxy for the target, or null when it goes direct.
  const ProxyServer* For(const FetchTarget& target) const;
  // Why the site's articles cannot be fetched by these routes, naming the
  // variable; "" when they can.
  std::string Refusal(const std::string& siteUrl) const;
  // The start-up log's line, credentials masked; "" when no proxy serves.
  std::string Description() const;

 private:
  bool GoesDirect(const FetchTarget& target) const;  // by no_proxy
};

// The value of an environment variable, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;
EnvironmentLookup ProcessEnvironment();

// The routes of the command line's --proxy value (empty: none given, the
// environment decides; kNoProxyOption: none). Returns why the command
// line's proxy URL is refused; "" when the routes are set (the
// environment's refusals stay in them).
std::string ChooseProxyRoutes(const std::string& option, const EnvironmentLookup& environment, ProxyRoutes& routes);

// Whether a no_proxy entry sends the host and port direct.
bool NoProxyEntryCovers(const std::string& entry, const std::string& host, int port);

}  // namespace velt
