#include "net/FetchRequest.h"

namespace velt {

std::string FetchRequest(const FetchTarget& target, const ProxyServer* proxy, const std::string& extraLines) {
  const bool relayed = proxy && !target.tls;
  std::string requestTarget = target.path;
  if (relayed) {
    const std::string port = target.port == kHttpPort ? "" : ":" + std::to_string(target.port);
    requestTarget = "http://" + target.host + port + target.path;
  }
  return "GET " + requestTarget + " HTTP/1.0\r\nHOST: " + target.HostHeader() + "\r\nUser-Agent: " + kUserAgent +
         "\r\n" + (relayed ? proxy->AuthorizationLine() : "") + extraLines + "\r\n";
}

std::string ConnectRequest(const FetchTarget& target, const ProxyServer& proxy) {
  const std::string peer = target.HostHeader();
  return "CONNECT " + peer + " HTTP/1.1\r\nHost: " + peer + "\r\n" + proxy.AuthorizationLine() + "\r\n";
}

}  // namespace velt
