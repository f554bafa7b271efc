#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>

#include "net/Channel.h"

namespace velt::net_detail {
namespace {

class PlainChannel : public Channel {
 public:
  explicit PlainChannel(const Socket& socket) : socket_(socket) {}

  void Send(const std::string& text, std::chrono::milliseconds limit) override {
    timeval value{};
    value.tv_sec = static_cast<time_t>(limit.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((limit.count() % 1000) * 1000);
    if (::setsockopt(socket_.fd(), SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) != 0) {
      RaiseSystemError(errno);
    }
    // One send, as the request always fits the socket's buffer. A peer that
    // has gone must give an error here, not a signal that ends the process.
    if (::send(socket_.fd(), text.data(), text.size(), MSG_NOSIGNAL) < 0) RaiseSystemError(errno);
  }

  std::optional<int> Receive(char* buffer, int size, Clock::time_point until) override {
    if (!WaitUntil(socket_, POLLIN, until)) return std::nullopt;
    ssize_t count;
    do {
      count = ::recv(socket_.fd(), buffer, static_cast<size_t>(size), 0);
    } while (count < 0 && errno == EINTR);
    // A reset cuts the answer as surely as a time-out: neither may pass
    // for a complete one.
    if (count < 0) RaiseSystemError(errno);
    return static_cast<int>(count);
  }

 private:
  const Socket& socket_;
};

}  // namespace

std::unique_ptr<Channel> OpenPlainChannel(const Socket& socket) { return std::make_unique<PlainChannel>(socket); }

}  // namespace velt::net_detail
