#include "net/ProxyAnswerHead.h"

#include <algorithm>
#include <cctype>

namespace velt::net_detail {
namespace {

constexpr std::size_t kMaxStatusLineShown = 120;

}  // namespace

bool ProxyAnswerHead::Add(const char* bytes, int count) {
  // The blank line may straddle two receives: look a little way back.
  const std::size_t from = received_.size() < 3 ? 0 : received_.size() - 3;
  received_.append(bytes, static_cast<std::size_t>(count));
  complete_ = complete_ || received_.find("\r\n\r\n", from) != std::string::npos ||
              received_.find("\n\n", from) != std::string::npos || received_.size() >= kMaxProxyHeadSize;
  return complete_;
}

int ProxyAnswerHead::StatusCode() const {
  const std::string line = StatusLine();
  const std::size_t space = line.find(' ');
  if (!line.starts_with("HTTP/") || space == std::string::npos || line.size() < space + 4) return 0;
  const std::string code = line.substr(space + 1, 3);
  if (!std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isdigit(c); })) return 0;
  if (line.size() > space + 4 && line[space + 4] != ' ') return 0;
  return std::stoi(code);
}

std::string ProxyAnswerHead::StatusLine() const {
  std::string line = received_.substr(0, std::min(received_.find('\n'), kMaxStatusLineShown));
  if (line.ends_with('\r')) line.pop_back();
  std::replace_if(line.begin(), line.end(), [](unsigned char c) { return c < ' ' || c >= 0x7F; }, '?');
  return line;
}

bool IsProxyRefusal(int statusCode, const ProxyServer& proxy) {
  return statusCode == 407 || (statusCode == 401 && !proxy.user.empty());
}

std::string ConnectRequest(const FetchTarget& target, const ProxyServer& proxy) {
  const std::string peer = target.HostHeader();
  return "CONNECT " + peer + " HTTP/1.1\r\nHost: " + peer + "\r\n" + proxy.AuthorizationLine() + "\r\n";
}

std::string ProxyRefusedText(const ProxyServer& proxy, const ProxyAnswerHead& head) {
  return "[" + proxy.Name() + "] PROXY REFUSED: " + head.StatusLine();
}

std::string ProxyClosedText(const ProxyServer& proxy) {
  return "[" + proxy.Name() + "] PROXY CLOSED BEFORE ITS ANSWER'S HEAD";
}

}  // namespace velt::net_detail
