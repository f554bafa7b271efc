#include "net/FetchTarget.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "net/Http.h"

namespace velt {
namespace {

constexpr std::string_view kHttps = "https://";

// The port behind the host's last ":", or 0 when what follows is no port.
int PortSuffix(std::string_view host, std::size_t& colon) {
  colon = host.rfind(':');
  if (colon == std::string_view::npos) return 0;
  const std::string_view digits = host.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return 0;
  int port = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  if (error != std::errc() || end != digits.data() + digits.size() || port < 1 || port > 65535) return 0;
  return port;
}

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsPathCharacter(char c) { return c > ' ' && c < 0x7F && c != '#'; }

}  // namespace

std::string FetchTarget::HostHeader() const { return host + ":" + std::to_string(port); }

bool SplitFetchUrl(const std::string& url, FetchTarget& target) {
  FetchTarget split;
  split.tls = url.starts_with(kHttps);
  // Both schemes split by the one rule of SplitUrl.
  const std::string plain = split.tls ? "http://" + url.substr(kHttps.size()) : url;
  if (!SplitUrl(plain, split.host, split.path)) return false;
  split.port = split.tls ? kHttpsPort : kHttpPort;
  std::size_t colon = 0;
  if (const int port = PortSuffix(split.host, colon); port != 0) {
    split.port = port;
    split.host.resize(colon);
  }
  target = split;
  return true;
}

std::string SiteBaseUrlError(const std::string& url) {
  if (url.size() > kMaxSiteBaseUrlLength) {
    return "the site URL has " + std::to_string(url.size()) + " characters; at most " +
           std::to_string(kMaxSiteBaseUrlLength) + " are allowed";
  }
  if (!url.starts_with("http://") && !url.starts_with(kHttps)) {
    return "the site URL must begin with http:// or https://";
  }
  const std::size_t hostStart = url.find("//") + 2;
  const std::size_t slash = url.find('/', hostStart);
  if (slash == std::string::npos) return "the site URL needs a path after the host, up to the article number";
  std::string_view host = std::string_view(url).substr(hostStart, slash - hostStart);
  constexpr char hostRule[] = "the host of the site URL must be a name or an IPv4 address";
  // An IPv6 address in brackets holds colons too; it is the host that fails.
  if (host.starts_with('[')) return hostRule;
  std::size_t colon = 0;
  if (host.find(':') != std::string_view::npos) {
    if (PortSuffix(host, colon) == 0) return "the port of the site URL must be a number from 1 to 65535";
    host = host.substr(0, colon);
  }
  if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostCharacter) || host.front() == '.' ||
      host.front() == '-') {
    return hostRule;
  }
  const std::string_view path = std::string_view(url).substr(slash);
  if (!std::all_of(path.begin(), path.end(), IsPathCharacter)) {
    return "the path of the site URL may hold only printable ASCII without blanks or \"#\"";
  }
  return "";
}

}  // namespace velt
