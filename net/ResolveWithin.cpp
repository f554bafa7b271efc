#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "net/FetchCutoff.h"
#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

// Shared by the waiting fetch and the lookup's thread; whichever leaves
// last frees it, so a fetch that gave up never waits for the lookup.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::uint32_t address = 0;
  std::optional<std::string> errorText;
};

// Lookups whose fetch gave up keep their thread until the system answers.
// Should the resolver hang for good, fetches fail at once past this many
// rather than pile up threads.
constexpr int kMaxRunningLookups = 64;
std::atomic<int> runningLookups{0};

[[noreturn]] void RaiseTimedOut(const std::string& host) { throw Error("[" + host + "] LOOKUP TIMED OUT"); }

// The failure crosses threads as its text: an exception object shared by
// both threads would be freed by whichever lets go last, through reference
// counts that the thread checker cannot follow.
void RunLookup(const std::shared_ptr<Lookup>& lookup, const std::string& host, const HostResolver& resolve) {
  std::uint32_t address = 0;
  std::optional<std::string> errorText;
  try {
    address = resolve(host);
  } catch (const std::exception& error) {
    errorText = error.what();
  }
  runningLookups.fetch_sub(1);
  std::lock_guard hold(lookup->mutex);
  lookup->address = address;
  lookup->errorText = std::move(errorText);
  lookup->finished = true;
  lookup->done.notify_one();
}

}  // namespace

std::uint32_t ResolveHostWithin(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                const HostResolver& resolve) {
  if (runningLookups.fetch_add(1) >= kMaxRunningLookups) {
    runningLookups.fetch_sub(1);
    RaiseTimedOut(host);
  }
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread(RunLookup, lookup, host, resolve).detach();
  } catch (...) {
    runningLookups.fetch_sub(1);
    throw;
  }
  std::unique_lock hold(lookup->mutex);
  while (!lookup->done.wait_until(hold, net_detail::NextCutoffCheck(deadline), [&] { return lookup->finished; })) {
    net_detail::RaiseIfCutOff();
    if (std::chrono::steady_clock::now() >= deadline) RaiseTimedOut(host);
  }
  if (lookup->errorText) throw Error(*lookup->errorText);
  return lookup->address;
}

}  // namespace velt
