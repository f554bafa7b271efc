// A scripted peer on 127.0.0.1:80 for the HTTP client's tests.
//
// The listener is bound when the object is made; each accepted connection
// runs the script on the peer's own thread. The destructor closes the
// listener and waits for the scripts, so a script must end on its own
// (they all watch the client closing). Port 80 needs the private network
// namespace of tests/run-in-netns.sh or root.
#pragma once

#include <functional>
#include <thread>

namespace velt::test {

class LoopbackPeer {
 public:
  using Script = std::function<void(int connection)>;

  // backlog 0 with no script leaves connections unaccepted in the queue.
  explicit LoopbackPeer(Script script, int backlog = 16);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

 private:
  int listenFd_ = -1;
  int stopFds_[2] = {-1, -1};
  std::thread acceptor_;
};

// Reads until the request head's empty line or the client closes.
std::string ReadRequestHead(int connection);
// Waits at most ms for the client to close; true when it did.
bool WaitForClose(int connection, int ms);
void SendText(int connection, const std::string& text);
// A client socket connected (or, non-blocking, connecting) to
// 127.0.0.1:80; -1 when a blocking connect fails.
int ConnectToPort80(bool nonBlocking);
// Open descriptors of this process, to see that a fetch left none behind.
int OpenDescriptorCount();

}  // namespace velt::test
