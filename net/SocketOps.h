// Socket helpers behind HttpRequest (internal to net/).
//
// Socket owns one descriptor and closes it when it goes, so every path out
// of a fetch releases it. The waiting helpers take a time limit and retry
// after signal interruptions. RaiseSystemError raises velt::Error with the
// system's text for an error code, trimmed the way the client's callers
// expect. All functions are safe from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace velt::net_detail {

using Clock = std::chrono::steady_clock;

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The system's message for the code without trailing blanks, control
// characters or ".".
std::string SystemErrorText(int code);
[[noreturn]] void RaiseSystemError(int code);

void SetNonBlocking(const Socket& socket, bool on);

// True when one of the poll events is ready before the deadline; raises
// once shutdown's cutoff has passed (FetchCutoff.h).
bool WaitUntil(const Socket& socket, short events, Clock::time_point deadline);

// Connects to the IPv4 address (network byte order) and port, leaving the
// socket blocking; raises on failure, with the text for ETIMEDOUT when the
// limit passes first.
void ConnectWithin(const Socket& socket, std::uint32_t address, int port,
                   std::chrono::milliseconds limit);

}  // namespace velt::net_detail
