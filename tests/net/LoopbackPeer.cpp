#include "tests/net/LoopbackPeer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace velt::test {

namespace {

sockaddr_in Port80() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(80);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

LoopbackPeer::LoopbackPeer(Script script, int backlog) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const sockaddr_in address = Port80();
  if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, backlog) != 0 || ::pipe(stopFds_) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(listenFd_);
    throw std::runtime_error("cannot listen on 127.0.0.1:80: " + reason);
  }
  if (!script) return;
  acceptor_ = std::thread([this, script] {
    std::vector<std::thread> scripts;
    for (;;) {
      pollfd entries[2] = {{stopFds_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
      if (::poll(entries, 2, -1) < 0 || entries[0].revents != 0) break;
      const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) continue;
      scripts.emplace_back([script, connection] {
        script(connection);
        ::close(connection);
      });
    }
    for (auto& running : scripts) running.join();
  });
}

LoopbackPeer::~LoopbackPeer() {
  if (acceptor_.joinable()) {
    [[maybe_unused]] const ssize_t ignored = ::write(stopFds_[1], "x", 1);
    acceptor_.join();
  }
  ::close(listenFd_);
  ::close(stopFds_[0]);
  ::close(stopFds_[1]);
}

std::string ReadRequestHead(int connection) {
  std::string head;
  char buffer[512];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
    if (count <= 0) break;
    head.append(buffer, static_cast<std::size_t>(count));
  }
  return head;
}

bool WaitForClose(int connection, int ms) {
  char buffer[4096];
  for (;;) {
    pollfd entry{connection, POLLIN, 0};
    if (::poll(&entry, 1, ms) <= 0) return false;
    if (::recv(connection, buffer, sizeof buffer, 0) <= 0) return true;
  }
}

void SendText(int connection, const std::string& text) {
  ::send(connection, text.data(), text.size(), MSG_NOSIGNAL);
}

int ConnectToPort80(bool nonBlocking) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
  const sockaddr_in address = Port80();
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && !nonBlocking) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
  }
  return count;
}

}  // namespace velt::test
