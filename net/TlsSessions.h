// TLS sessions to resume, kept per server for the whole process (internal
// to net/).
//
// A resumed handshake skips the certificate's transfer and checks, and with
// TLS 1.2 a round trip as well. A session only ever comes from a handshake
// whose certificate and name were verified, and is offered only to the same
// host name and port. A TLS 1.3 ticket serves one connection, as the
// protocol asks; the server hands each connection new ones. Thread-safe.
#pragma once

#include <openssl/ssl.h>

#include <string>

namespace velt::net_detail {

// The server a session belongs to: the host name as written and the port.
std::string SessionPeer(const std::string& host, int port);

// A kept session for the peer, now the caller's to free; null when none.
SSL_SESSION* TakeSession(const std::string& peer);

// Keeps the session for the peer; the caller's reference passes here.
void KeepSession(const std::string& peer, SSL_SESSION* session);

}  // namespace velt::net_detail
