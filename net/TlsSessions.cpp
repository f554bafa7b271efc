#include "net/TlsSessions.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace velt::net_detail {
namespace {

// About one per worker; the oldest go first.
constexpr std::size_t kMaxPerPeer = 32;
// A crawl meets one server; the bound only keeps a long run from keeping
// every server it ever met.
constexpr std::size_t kMaxPeers = 16;

using Session = std::unique_ptr<SSL_SESSION, decltype(&SSL_SESSION_free)>;

std::mutex storeMutex;
std::map<std::string, std::deque<Session>> store;

}  // namespace

std::string SessionPeer(const std::string& host, int port) { return host + ":" + std::to_string(port); }

SSL_SESSION* TakeSession(const std::string& peer) {
  std::lock_guard hold(storeMutex);
  const auto found = store.find(peer);
  if (found == store.end() || found->second.empty()) return nullptr;
  SSL_SESSION* newest = found->second.back().release();
  found->second.pop_back();
  return newest;
}

void KeepSession(const std::string& peer, SSL_SESSION* session) {
  Session kept(session, &SSL_SESSION_free);
  std::lock_guard hold(storeMutex);
  if (store.size() >= kMaxPeers && store.find(peer) == store.end()) store.clear();
  auto& sessions = store[peer];
  if (sessions.size() >= kMaxPerPeer) sessions.pop_front();
  sessions.push_back(std::move(kept));
}

}  // namespace velt::net_detail
