// Waiting on a client socket while watching the site's stop descriptor.
//
// Every wait of the site ends early when the stop descriptor becomes
// readable (it stays readable once stopped), so SIGTERM ends even a
// connection that is told never to answer. Sockets are non-blocking and
// sends never raise SIGPIPE. With a TLS connection the bytes go through it.
// Safe from any thread; one connection's waits from its own thread only.
#pragma once

#include <string>
#include <string_view>

#include "tools/kbsite/SiteTls.h"

namespace velt::kbsite {

class SocketWait {
 public:
  explicit SocketWait(int stopFd, SSL* tls = nullptr) : stopFd_(stopFd), tls_(tls) {}

  bool Stopped() const;
  // Sleeps; false when the site stops first.
  bool Pause(int ms) const;
  // Sends everything; false when the peer goes, stalls or the site stops.
  bool SendAll(int fd, std::string_view data) const;
  // Reads what has arrived into text, waiting at most ms for something;
  // false on end of stream, error, time-out or stop.
  bool ReadSome(int fd, std::string& text, int ms) const;
  // The TLS handshake, within ms for each step; false when it fails.
  bool Handshake(int fd, int ms) const;

 private:
  // 1 when fd is ready, 0 on time-out, -1 on stop or error.
  int Wait(int fd, short events, int ms) const;

  // One read or write step of the connection, plain or TLS.
  TlsStep ReadStep(int fd, char* buffer, std::size_t size) const;
  TlsStep WriteStep(int fd, std::string_view data) const;

  int stopFd_;
  SSL* tls_;
};

}  // namespace velt::kbsite
