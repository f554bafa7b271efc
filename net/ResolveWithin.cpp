#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

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
  std::exception_ptr error;
};

}  // namespace

std::uint32_t ResolveHostWithin(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                const HostResolver& resolve) {
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host, resolve] {
    std::uint32_t address = 0;
    std::exception_ptr error;
    try {
      address = resolve(host);
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard hold(lookup->mutex);
    lookup->address = address;
    lookup->error = error;
    lookup->finished = true;
    lookup->done.notify_one();
  }).detach();

  std::unique_lock hold(lookup->mutex);
  if (!lookup->done.wait_until(hold, deadline, [&] { return lookup->finished; })) {
    throw Error("[" + host + "] LOOKUP TIMED OUT");
  }
  if (lookup->error) std::rethrow_exception(lookup->error);
  return lookup->address;
}

}  // namespace velt
