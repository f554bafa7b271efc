// The byte stream of one fetch over a connected socket: plain TCP or TLS
// (internal to net/).
//
// A channel borrows the socket, which outlives it. Send and Receive raise
// velt::Error with a message text on failure; a receive that waits past its
// limit returns no count, so that the caller can name which limit it was.
// One thread uses a channel.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "net/SocketOps.h"

namespace velt::net_detail {

class Channel {
 public:
  virtual ~Channel() = default;
  // Sends the request; raises when it fails or the limit passes.
  virtual void Send(const std::string& text, std::chrono::milliseconds limit) = 0;
  // At most size bytes into buffer: their count, 0 when the peer has
  // closed, or nothing when `until` passed first.
  virtual std::optional<int> Receive(char* buffer, int size, Clock::time_point until) = 0;
};

std::unique_ptr<Channel> OpenPlainChannel(const Socket& socket);

// Makes the TLS handshake with the server for host, verifying its
// certificate chain and name (or resuming a session of an earlier verified
// handshake with the same host and port); raises when the handshake fails,
// the certificate is refused, or `until` passes first.
std::unique_ptr<Channel> OpenTlsChannel(const Socket& socket, const std::string& host, int port,
                                        Clock::time_point until);

}  // namespace velt::net_detail
