#include "net/Socks5Handshake.h"

#include "net/Http.h"
#include "platform/Error.h"

namespace velt::net_detail {
namespace {

constexpr char kVersion = 5;
constexpr char kNoAuthentication = 0;
constexpr char kUserPassword = 2;
constexpr char kUserPasswordVersion = 1;
constexpr char kConnect = 1;
constexpr char kIpv4 = 1;
constexpr char kDomainName = 3;
constexpr char kIpv6 = 4;
// A general failure (what many proxies answer when the site's name or
// connection failed on their side) and 3, network unreachable, through 6,
// TTL expired: the site's side, which may heal.
constexpr int kGeneralFailure = 1;
constexpr int kNetworkUnreachable = 3;
constexpr int kTtlExpired = 6;

class Exchange {
 public:
  Exchange(const Socks5Link& link, const ProxyServer& proxy) : link_(link), proxy_(proxy) {}

  // Exactly `size` bytes of the proxy's answer, however it divides them.
  std::string Read(int size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (int got = 0; got < size;) {
      const int count = link_.receive(bytes.data() + got, size - got);
      if (count <= 0) throw Error("[" + proxy_.Name() + "] PROXY CLOSED DURING ITS SOCKS5 ANSWER");
      got += count;
    }
    return bytes;
  }

  // Waiting does not change the proxy's mind: the crawl stops on it.
  [[noreturn]] void Refused(const std::string& why) const {
    throw ProxyRefusal("[" + proxy_.Name() + "] PROXY REFUSED: SOCKS5 " + why);
  }

  // The proxy tried and the site did not answer it: the site's failure,
  // as a refused connection is when fetching direct.
  [[noreturn]] void SiteUnreachable(const std::string& why) const {
    throw Error("[" + proxy_.Name() + "] PROXY CANNOT REACH THE SITE: SOCKS5 " + why);
  }

  void Send(const std::string& bytes) const { link_.send(bytes); }

 private:
  const Socks5Link& link_;
  const ProxyServer& proxy_;
};

void Authenticate(Exchange& exchange, const ProxyServer& proxy) {
  const bool withPassword = !proxy.user.empty();
  exchange.Send(withPassword ? std::string{kVersion, 2, kNoAuthentication, kUserPassword}
                             : std::string{kVersion, 1, kNoAuthentication});
  const std::string choice = exchange.Read(2);
  if (choice[0] != kVersion) exchange.Refused("NOT SPOKEN BY THE PROXY");
  if (choice[1] == kNoAuthentication) return;
  if (choice[1] != kUserPassword || !withPassword) exchange.Refused("NO ACCEPTABLE AUTHENTICATION METHOD");
  // The lengths fit a byte: ParseProxyUrl refuses longer ones.
  exchange.Send(std::string{kUserPasswordVersion, static_cast<char>(proxy.user.size())} + proxy.user +
                static_cast<char>(proxy.password.size()) + proxy.password);
  if (exchange.Read(2)[1] != 0) exchange.Refused("USER OR PASSWORD REJECTED");
}

std::string Destination(Exchange& exchange, const FetchTarget& target, std::optional<std::uint32_t> siteAddress) {
  std::string address;
  if (siteAddress) {
    address = std::string{kIpv4} + std::string(reinterpret_cast<const char*>(&*siteAddress), 4);
  } else {
    if (target.host.empty() || target.host.size() > 255) exchange.Refused("CANNOT BE GIVEN THIS HOST NAME");
    address = std::string{kDomainName, static_cast<char>(target.host.size())} + target.host;
  }
  return address + static_cast<char>(target.port >> 8) + static_cast<char>(target.port & 0xFF);
}

// The reply code's meaning as RFC 1928 names it.
std::string ReplyText(int code) {
  static const char* const kTexts[] = {"SUCCEEDED",
                                       "GENERAL SOCKS SERVER FAILURE",
                                       "CONNECTION NOT ALLOWED BY RULESET",
                                       "NETWORK UNREACHABLE",
                                       "HOST UNREACHABLE",
                                       "CONNECTION REFUSED",
                                       "TTL EXPIRED",
                                       "COMMAND NOT SUPPORTED",
                                       "ADDRESS TYPE NOT SUPPORTED"};
  if (code >= 0 && code < static_cast<int>(std::size(kTexts))) return kTexts[code];
  return "REPLY " + std::to_string(code);
}

}  // namespace

void Socks5Connect(const Socks5Link& link, const FetchTarget& target, const ProxyServer& proxy,
                   std::optional<std::uint32_t> siteAddress) {
  Exchange exchange(link, proxy);
  Authenticate(exchange, proxy);
  exchange.Send(std::string{kVersion, kConnect, 0} + Destination(exchange, target, siteAddress));
  const std::string head = exchange.Read(4);
  if (head[0] != kVersion) exchange.Refused("NOT SPOKEN BY THE PROXY");
  const int reply = static_cast<unsigned char>(head[1]);
  if (reply == kGeneralFailure || (reply >= kNetworkUnreachable && reply <= kTtlExpired)) exchange.SiteUnreachable(ReplyText(reply));
  if (reply != 0) exchange.Refused(ReplyText(reply));
  // The address the proxy bound is of no use here, but it must be read
  // whole: the site's bytes follow it.
  switch (head[3]) {
    case kIpv4: exchange.Read(4 + 2); break;
    case kIpv6: exchange.Read(16 + 2); break;
    case kDomainName: exchange.Read(static_cast<unsigned char>(exchange.Read(1)[0]) + 2); break;
    default: exchange.Refused("ANSWERED AN UNKNOWN ADDRESS TYPE");
  }
}

}  // namespace velt::net_detail
