#include "tools/kbsite/SiteServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <memory>
#include <thread>

namespace velt::kbsite {
namespace {

struct ConnectionThread {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
};

void JoinFinished(std::list<ConnectionThread>& threads) {
  for (auto it = threads.begin(); it != threads.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = threads.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

SiteServer::SiteServer(const SiteOptions& options, ServedLog& log)
    : options_(options), model_(options.seed), log_(log) {}

SiteServer::~SiteServer() {
  if (listenFd_ >= 0) ::close(listenFd_);
}

bool SiteServer::Listen(std::string& error) {
  if (!options_.tlsCertificate.empty()) {
    tls_ = MakeServerContext(options_.tlsCertificate, options_.tlsKey, options_.tls12Only, error);
    if (!tls_) return false;
  }
  return Bind(error);
}

bool SiteServer::Bind(std::string& error) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) {
    error = std::strerror(errno);
    return false;
  }
  const int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 256) != 0) {
    error = "127.0.0.1:" + std::to_string(options_.port) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool SiteServer::RefuseForAWhile(int stopFd) {
  ::close(listenFd_);
  listenFd_ = -1;
  std::fprintf(stderr, "kbsite: refusing connections for %d ms\n", options_.outageMs);
  pollfd stop{stopFd, POLLIN, 0};
  if (::poll(&stop, 1, options_.outageMs) != 0) return false;
  std::string error;
  // The port may stay taken for a moment by connections in their last state.
  while (!Bind(error)) {
    ::close(listenFd_);
    if (::poll(&stop, 1, 50) != 0) return false;
  }
  std::fprintf(stderr, "kbsite: serving again\n");
  return true;
}

void SiteServer::Serve(int stopFd) {
  const SiteContext site{model_, options_, log_, stopFd, tls_.get(), firsts_, busyLeft_};
  std::list<ConnectionThread> threads;
  int accepted = 0;
  for (;;) {
    if (options_.outageAfter > 0 && accepted == options_.outageAfter) {
      ++accepted;
      if (!RefuseForAWhile(stopFd)) break;
      busyLeft_ = options_.busyAfterOutage;
    }
    pollfd entries[2] = {{stopFd, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (entries[0].revents != 0) break;
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) {
      // Out of descriptors: give running connections time to end.
      if (errno == EMFILE || errno == ENFILE) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    ++accepted;
    JoinFinished(threads);
    ConnectionThread& added = threads.emplace_back();
    added.thread = std::thread([client, &site, done = added.done] {
      ServeConnection(client, site);
      done->store(true);
    });
  }
  if (listenFd_ >= 0) ::close(listenFd_);
  listenFd_ = -1;
  for (auto& connection : threads) connection.thread.join();
}

}  // namespace velt::kbsite
