#include "net/ProxyChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <utility>

namespace velt {
namespace {

bool SameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The first of the names that is set, with its name.
std::optional<std::pair<std::string, std::string>> FirstSet(const EnvironmentLookup& environment,
                                                            std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (auto value = environment(name)) return std::make_pair(std::string(name), *value);
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
std::string ReadScheme(const EnvironmentLookup& environment, std::initializer_list<const char*> names,
                       std::optional<ProxyServer>& proxy) {
  auto found = FirstSet(environment, names);
  if (!found) found = FirstSet(environment, {"all_proxy", "ALL_PROXY"});
  if (!found || found->second.empty() || found->second.starts_with("pac+")) return "";
  ProxyServer server;
  const std::string why = ParseProxyUrl(found->second, server);
  if (!why.empty()) return found->first + ": " + why;
  proxy = server;
  return "";
}

}  // namespace

const ProxyServer* ProxyRoutes::For(const FetchTarget& target) const {
  const std::optional<ProxyServer>& proxy = target.tls ? https : http;
  if (!proxy) return nullptr;
  for (const std::string& entry : direct) {
    if (NoProxyEntryCovers(entry, target.host, target.port)) return nullptr;
  }
  return &*proxy;
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
  for (const auto& why : {ReadScheme(environment, {"http_proxy"}, chosen.http),
                          ReadScheme(environment, {"https_proxy", "HTTPS_PROXY"}, chosen.https)}) {
    if (!why.empty()) return why;
  }
  if (const auto list = FirstSet(environment, {"no_proxy", "NO_PROXY"})) chosen.direct = SplitList(list->second);
  routes = chosen;
  return "";
}

std::string RequestTarget(const FetchTarget& target, const ProxyServer* proxy) {
  if (!proxy || target.tls || !proxy->RelaysHttp()) return target.path;
  const std::string port = target.port == kHttpPort ? "" : ":" + std::to_string(target.port);
  return "http://" + target.host + port + target.path;
}

std::string ProxyHeaderLines(const FetchTarget& target, const ProxyServer* proxy) {
  return proxy && !target.tls && proxy->RelaysHttp() ? proxy->AuthorizationLine() : "";
}

bool NoProxyEntryCovers(const std::string& entry, const std::string& host, int port) {
  if (entry == "*") return true;
  std::string name = entry;
  if (const std::size_t colon = name.rfind(':'); colon != std::string::npos) {
    if (name.substr(colon + 1) != std::to_string(port)) return false;
    name.resize(colon);
  }
  while (name.starts_with('.')) name.erase(0, 1);
  if (name.empty()) return false;
  if (SameText(name, host)) return true;
  // An address covers no "subdomains": 0.0.1 is no part of 127.0.0.1.
  if (std::all_of(name.begin(), name.end(),
                  [](char c) { return c == '.' || std::isdigit(static_cast<unsigned char>(c)); })) {
    return false;
  }
  return host.size() > name.size() && host[host.size() - name.size() - 1] == '.' &&
         SameText(name, host.substr(host.size() - name.size()));
}

}  // namespace velt
