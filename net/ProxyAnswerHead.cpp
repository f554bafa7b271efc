#include "net/ProxyAnswerHead.h"

namespace velt::net_detail {

bool IsProxyRefusal(int statusCode, const ProxyServer& proxy) {
  return statusCode == 407 || (statusCode == 401 && !proxy.user.empty());
}

bool IsTunnelRefusal(int statusCode, const ProxyServer& proxy) {
  return statusCode == 403 || IsProxyRefusal(statusCode, proxy);
}

std::string ProxyRefusedText(const ProxyServer& proxy, const AnswerHead& head) {
  return "[" + proxy.Name() + "] PROXY REFUSED: " + StatusLineShown(head.Received());
}

std::string ProxyClosedText(const ProxyServer& proxy) {
  return "[" + proxy.Name() + "] PROXY CLOSED BEFORE ITS ANSWER'S HEAD";
}

}  // namespace velt::net_detail
