// A lookup that hangs must not hold a fetch past its limit.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <gtest/gtest.h>

#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A resolver that answers only when released; the test waits until the
// abandoned lookup has ended, so nothing of it outlives the test.
struct HangingResolver {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  bool ended = false;

  HostResolver Resolver(const std::shared_ptr<HangingResolver>& self) {
    return [self](const std::string&) -> std::uint32_t {
      std::unique_lock hold(self->mutex);
      self->changed.wait(hold, [&] { return self->released; });
      self->ended = true;
      self->changed.notify_all();
      return 1;
    };
  }
};

TEST(ResolveHostWithinTest, GivesUpOnAHangingLookupAtTheDeadlineAndPassesOthersThrough) {
  auto hanging = std::make_shared<HangingResolver>();
  const auto start = Clock::now();
  try {
    ResolveHostWithin("kb.example.test", start + 200ms, hanging->Resolver(hanging));
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "[kb.example.test] LOOKUP TIMED OUT");
  }
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, 200ms);
  EXPECT_LT(waited, 2s);
  {
    std::unique_lock hold(hanging->mutex);
    hanging->released = true;
    hanging->changed.notify_all();
    EXPECT_TRUE(hanging->changed.wait_for(hold, 5s, [&] { return hanging->ended; }));
  }

  const auto deadline = Clock::now() + 5s;
  EXPECT_EQ(ResolveHostWithin("h", deadline, [](const std::string&) -> std::uint32_t { return 0x0100007F; }),
            0x0100007Fu);
  try {
    ResolveHostWithin("h", deadline, [](const std::string&) -> std::uint32_t { throw Error("[h] IS INVALID ADDRSS."); });
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "[h] IS INVALID ADDRSS.");
  }
}

}  // namespace
}  // namespace velt
