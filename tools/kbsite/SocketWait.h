// Waiting on a client socket while watching the site's stop descriptor.
//
// Every wait of the site ends early when the stop descriptor becomes
// readable (it stays readable once stopped), so SIGTERM ends even a
// connection that is told never to answer. Sockets are non-blocking and
// sends never raise SIGPIPE. Safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace velt::kbsite {

class SocketWait {
 public:
  explicit SocketWait(int stopFd) : stopFd_(stopFd) {}

  bool Stopped() const;
  // Sleeps; false when the site stops first.
  bool Pause(int ms) const;
  // Sends everything; false when the peer goes, stalls or the site stops.
  bool SendAll(int fd, std::string_view data) const;
  // Reads what has arrived into text, waiting at most ms for something;
  // false on end of stream, error, time-out or stop.
  bool ReadSome(int fd, std::string& text, int ms) const;

 private:
  // 1 when fd is ready, 0 on time-out, -1 on stop or error.
  int Wait(int fd, short events, int ms) const;

  int stopFd_;
};

}  // namespace velt::kbsite
