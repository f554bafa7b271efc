#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

#include "net/Http.h"

namespace velt {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kLifetime{60};
// A crawl meets one host; the bound only keeps a long run that meets many
// from keeping them all.
constexpr std::size_t kMaxHosts = 64;

struct Found {
  std::uint32_t address;
  Clock::time_point expires;
};

std::mutex cacheMutex;
std::unordered_map<std::string, Found> cache;

}  // namespace

std::uint32_t ResolveHostCached(const std::string& host, Clock::time_point deadline, const HostResolver& resolve) {
  {
    std::lock_guard hold(cacheMutex);
    const auto found = cache.find(host);
    if (found != cache.end() && Clock::now() < found->second.expires) return found->second.address;
  }
  const std::uint32_t address = ResolveHostWithin(host, deadline, resolve);
  std::lock_guard hold(cacheMutex);
  if (cache.size() >= kMaxHosts) cache.clear();
  cache[host] = {address, Clock::now() + kLifetime};
  return address;
}

}  // namespace velt
