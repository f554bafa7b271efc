// What a proxy says before the site's bytes (internal to net/): whether the
// head of its answer (AnswerHead.h) is its refusal, and the texts of its
// refusals. Pure; any thread.
#pragma once

#include <string>

#include "net/AnswerHead.h"
#include "net/ProxyServer.h"

namespace velt::net_detail {

// Whether a relayed plain answer with this status is the proxy's refusal:
// 407, and 401 when the proxy was given credentials, as some proxies answer
// wrong ones so. A public site asks for no password of its own.
bool IsProxyRefusal(int statusCode, const ProxyServer& proxy);
// The same for an answer to CONNECT, where 403 is the proxy's own word too.
bool IsTunnelRefusal(int statusCode, const ProxyServer& proxy);

// "[proxy] PROXY REFUSED: <status line>" and the text for a proxy that
// closed before its head was complete; neither holds a credential.
std::string ProxyRefusedText(const ProxyServer& proxy, const AnswerHead& head);
std::string ProxyClosedText(const ProxyServer& proxy);

}  // namespace velt::net_detail
