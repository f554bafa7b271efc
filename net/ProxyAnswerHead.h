// What a proxy says before the site's bytes (internal to net/): the head of
// its answer to CONNECT, or of a plain answer that it relays or makes
// itself, and the texts of its refusals.
//
// A head is complete at its blank line. A head that keeps growing counts as
// complete at kMaxProxyHeadSize, so that a proxy cannot make a fetch hold
// an answer of any length. Pure; one object per fetch.
#pragma once

#include <cstddef>
#include <string>

#include "net/FetchTarget.h"
#include "net/ProxyServer.h"

namespace velt::net_detail {

inline constexpr std::size_t kMaxProxyHeadSize = 64 * 1024;

class ProxyAnswerHead {
 public:
  // Adds received bytes; returns whether the head is now complete.
  bool Add(const char* bytes, int count);
  bool Complete() const { return complete_; }
  // Every byte added, the head and whatever followed it.
  const std::string& Received() const { return received_; }
  // The code of an "HTTP/x.y NNN ..." first line, else 0.
  int StatusCode() const;
  // The first line in printable ASCII, cut to a length fit for a log line.
  std::string StatusLine() const;

 private:
  std::string received_;
  bool complete_ = false;
};

// Whether a relayed plain answer with this status is the proxy's refusal:
// 407, and 401 when the proxy was given credentials, as some proxies answer
// wrong ones so. A public site asks for no password of its own.
bool IsProxyRefusal(int statusCode, const ProxyServer& proxy);

// "CONNECT host:port HTTP/1.1" with its Host header and the proxy's
// credentials.
std::string ConnectRequest(const FetchTarget& target, const ProxyServer& proxy);

// "[proxy] PROXY REFUSED: <status line>" and the text for a proxy that
// closed before its head was complete; neither holds a credential.
std::string ProxyRefusedText(const ProxyServer& proxy, const ProxyAnswerHead& head);
std::string ProxyClosedText(const ProxyServer& proxy);

}  // namespace velt::net_detail
