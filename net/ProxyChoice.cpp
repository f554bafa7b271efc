#include "net/ProxyChoice.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "net/AsciiCase.h"

namespace velt {
namespace {

// The first of the names that is set to something, with its name: an
// empty variable is one a shell script meant to clear.
std::optional<std::pair<std::string, std::string>> FirstSet(const EnvironmentLookup& environment,
                                                            std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (auto value = environment(name); value && !value->empty()) return std::make_pair(std::string(name), *value);
  }
  return std::nullopt;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> entries;
  std::string entry;
  for (const char c : list + ",") {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!entry.empty()) entries.push_back(entry);
      entry.clear();
    } else {
      entry += c;
    }
  }
  return entries;
}

// The proxy a scheme's variables name, or why its URL is refused.
void ReadScheme(const EnvironmentLookup& environment, std::initializer_list<const char*> names,
                std::optional<ProxyServer>& proxy, std::string& refused) {
  auto found = FirstSet(environment, names);
  if (!found) found = FirstSet(environment, {"all_proxy", "ALL_PROXY"});
  if (!found) return;
  ProxyServer server;
  if (const std::string why = ParseProxyUrl(found->second, server); !why.empty()) {
    refused = found->first + ": " + why;
  } else {
    proxy = server;
  }
}

// The address of an IP literal, in network order (4 or 16 bytes); empty
// for a name.
std::string AddressBytes(std::string text) {
  if (text.size() > 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
  unsigned char bytes[sizeof(in6_addr)];
  if (inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(bytes, bytes + sizeof(in_addr));
  if (inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::string(bytes, bytes + sizeof(in6_addr));
  return "";
}

// Whether the host is an address within the network "address/bits".
bool NetworkCovers(const std::string& network, const std::string& bitsText, const std::string& host) {
  const std::string net = AddressBytes(network);
  const std::string address = AddressBytes(host);
  std::size_t bits = 0;
  const auto [end, error] = std::from_chars(bitsText.data(), bitsText.data() + bitsText.size(), bits);
  if (net.empty() || net.size() != address.size() || bitsText.empty() || error != std::errc() ||
      end != bitsText.data() + bitsText.size() || bits > 8 * net.size()) {
    return false;
  }
  const std::size_t whole = bits / 8;
  if (net.compare(0, whole, address, 0, whole) != 0) return false;
  if (bits % 8 == 0) return true;
  const auto mask = static_cast<unsigned char>(0xFF << (8 - bits % 8));
  return ((static_cast<unsigned char>(net[whole]) ^ static_cast<unsigned char>(address[whole])) & mask) == 0;
}

// Splits "name:port" or "[address]:port" into `name` and the port text
// ("" without one); a bare IPv6 address has no port.
void SplitEntryPort(const std::string& entry, std::string& name, std::string& port) {
  name = entry;
  port.clear();
  if (entry.starts_with('[')) {
    const std::size_t close = entry.find(']');
    if (close == std::string::npos) return;
    name = entry.substr(1, close - 1);
    if (entry.size() > close + 1 && entry[close + 1] == ':') port = entry.substr(close + 2);
    if (port.empty() && entry.size() > close + 1) name = entry;  // neither "]" nor "]:port" ends it
    return;
  }
  if (std::count(entry.begin(), entry.end(), ':') != 1) return;
  const std::size_t colon = entry.find(':');
  name = entry.substr(0, colon);
  port = entry.substr(colon + 1);
}

}  // namespace

const ProxyServer* ProxyRoutes::For(const FetchTarget& target) const {
  const std::optional<ProxyServer>& proxy = target.tls ? https : http;
  if (!proxy || GoesDirect(target)) return nullptr;
  return &*proxy;
}

bool ProxyRoutes::GoesDirect(const FetchTarget& target) const {
  return std::any_of(direct.begin(), direct.end(),
                     [&](const std::string& entry) { return NoProxyEntryCovers(entry, target.host, target.port); });
}

std::string ProxyRoutes::Refusal(const std::string& siteUrl) const {
  FetchTarget target;
  if (!SplitFetchUrl(siteUrl, target)) return "";
  const std::string& refused = target.tls ? httpsRefused : httpRefused;
  return refused.empty() || GoesDirect(target) ? "" : refused;
}

std::string ProxyRoutes::Description() const {
  if (!http && !https) return "";
  std::string line =
      "PROXY FOR HTTP: " + (http ? http->Display() : "NONE") + ", FOR HTTPS: " + (https ? https->Display() : "NONE");
  if (!direct.empty()) {
    line += ", DIRECT FOR:";
    for (const std::string& entry : direct) line += " " + entry;
  }
  return line;
}

EnvironmentLookup ProcessEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
}

std::string ChooseProxyRoutes(const std::string& option, const EnvironmentLookup& environment, ProxyRoutes& routes) {
  ProxyRoutes chosen;
  if (option == kNoProxyOption) {
    routes = chosen;
    return "";
  }
  if (!option.empty()) {
    ProxyServer server;
    if (std::string why = ParseProxyUrl(option, server); !why.empty())
      return "--proxy: " + why;  // the value may hold a password
    chosen.http = chosen.https = server;
    routes = chosen;
    return "";
  }
  ReadScheme(environment, {"http_proxy"}, chosen.http, chosen.httpRefused);
  ReadScheme(environment, {"https_proxy", "HTTPS_PROXY"}, chosen.https, chosen.httpsRefused);
  if (const auto list = FirstSet(environment, {"no_proxy", "NO_PROXY"})) chosen.direct = SplitList(list->second);
  routes = chosen;
  return "";
}

bool NoProxyEntryCovers(const std::string& entry, const std::string& host, int port) {
  if (entry == "*") return true;
  std::string name;
  std::string portText;
  SplitEntryPort(entry, name, portText);
  if (!portText.empty() && portText != std::to_string(port)) return false;
  if (const std::size_t slash = name.find('/'); slash != std::string::npos) {
    return NetworkCovers(name.substr(0, slash), name.substr(slash + 1), host);
  }
  while (name.starts_with('.')) name.erase(0, 1);
  if (name.empty()) return false;
  if (SameAsciiText(name, host)) return true;
  // An address covers no "subdomains": 0.0.1 is no part of 127.0.0.1.
  if (!AddressBytes(host).empty()) return false;
  return host.size() > name.size() && host[host.size() - name.size() - 1] == '.' &&
         SameAsciiText(name, host.substr(host.size() - name.size()));
}

}  // namespace velt
