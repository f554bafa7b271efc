// A lookup that hangs must not hold a fetch past its limit.
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A resolver that answers only when released; the test waits until the
// abandoned lookups have ended, so nothing of them outlives the test.
struct HangingResolver {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  int started = 0;
  int ended = 0;

  HostResolver Resolver(const std::shared_ptr<HangingResolver>& self) {
    return [self](const std::string&) -> std::uint32_t {
      std::unique_lock hold(self->mutex);
      ++self->started;
      self->changed.wait(hold, [&] { return self->released; });
      ++self->ended;
      self->changed.notify_all();
      return 1;
    };
  }

  // Releases every lookup; true when all that started have ended.
  bool ReleaseAndWait() {
    std::unique_lock hold(mutex);
    released = true;
    changed.notify_all();
    return changed.wait_for(hold, 10s, [&] { return ended == started; });
  }
};

int ThreadsOfThisProcess() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

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
  EXPECT_TRUE(hanging->ReleaseAndWait());

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

TEST(ResolveHostWithinTest, LookupsThatNeverEndDoNotPileUpThreads) {
  auto hanging = std::make_shared<HangingResolver>();
  const int before = ThreadsOfThisProcess();
  for (int i = 0; i < 300; ++i) {
    EXPECT_THROW(ResolveHostWithin("kb.example.test", Clock::now(), hanging->Resolver(hanging)), Error);
  }
  EXPECT_LT(ThreadsOfThisProcess() - before, 150);
  EXPECT_TRUE(hanging->ReleaseAndWait());
  // Their places are free again once their threads have ended.
  const auto threadsGone = Clock::now() + 10s;
  while (ThreadsOfThisProcess() > before && Clock::now() < threadsGone) std::this_thread::sleep_for(1ms);
  const auto deadline = Clock::now() + 5s;
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(ResolveHostWithin("h", deadline, [](const std::string&) -> std::uint32_t { return 7; }), 7u);
  }
}

TEST(ResolveHostCachedTest, AnAddressFoundIsKeptAndAFailureIsAskedForAgain) {
  int asked = 0;
  const auto counting = [&](const std::string& host) -> std::uint32_t {
    ++asked;
    if (host == "down.example.test") throw Error("[" + host + "] IS INVALID ADDRSS.");
    return 0x0100007F;
  };
  const auto deadline = Clock::now() + 5s;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ResolveHostCached("kept.example.test", deadline, counting), 0x0100007Fu);
  EXPECT_EQ(asked, 1);
  for (int i = 0; i < 2; ++i) {
    EXPECT_THROW(ResolveHostCached("down.example.test", deadline, counting), Error);
  }
  EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace velt
