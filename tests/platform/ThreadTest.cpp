#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/CriticalSection.h"
#include "platform/MainThread.h"
#include "platform/Thread.h"
#include "platform/Wakeup.h"

namespace velt {
namespace {

class StepThread : public Thread {
 public:
  StepThread(int steps, int& counter) : steps_(steps), counter_(counter) {}

 protected:
  void Execute() override {
    for (int i = 0; i < steps_ && !Terminated(); ++i) Synchronize([this] { ++counter_; });
  }

 private:
  int steps_;
  int& counter_;  // touched on the main thread only
};

TEST(ThreadTest, WaitForServesStepsOfManyThreads) {
  SetMainThread();
  int counter = 0;
  std::vector<std::unique_ptr<StepThread>> threads;
  for (int i = 0; i < 8; ++i) threads.push_back(std::make_unique<StepThread>(500, counter));
  for (auto& t : threads) t->Start();
  for (auto& t : threads) t->WaitFor();
  EXPECT_EQ(counter, 8 * 500);
}

class SelfFreeing : public Thread {
 public:
  explicit SelfFreeing(std::atomic<int>& alive) : alive_(alive) {
    ++alive_;
    SetFreeOnTerminate(true);
  }
  ~SelfFreeing() override {
    // Like a download worker, the destructor still hands a step over.
    Synchronize([this] { --alive_; });
  }

 protected:
  void Execute() override { Synchronize([] {}); }

 private:
  std::atomic<int>& alive_;
};

TEST(ThreadTest, SelfFreeingThreadsDeleteThemselvesAfterTheirLastStep) {
  SetMainThread();
  std::atomic<int> alive{0};
  for (int i = 0; i < 30; ++i) (new SelfFreeing(alive))->Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (alive > 0 && std::chrono::steady_clock::now() < deadline) {
    ServeMainThreadSteps();
    WaitForMainThreadWork(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(alive, 0);
}

// Ends and frees itself at once, so Start races the thread's own delete.
class EndsAtOnce : public Thread {
 public:
  explicit EndsAtOnce(std::atomic<int>& ended) : ended_(ended) { SetFreeOnTerminate(true); }
  ~EndsAtOnce() override { ++ended_; }

 protected:
  void Execute() override {}

 private:
  std::atomic<int>& ended_;
};

TEST(ThreadTest, StartNeverTouchesAThreadThatFreedItself) {
  constexpr int kThreads = 2000;
  std::atomic<int> ended{0};
  for (int i = 0; i < kThreads; ++i) (new EndsAtOnce(ended))->Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (ended < kThreads && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  EXPECT_EQ(ended, kThreads);
}

class Throwing : public Thread {
 protected:
  void Execute() override { Synchronize([] { throw std::runtime_error("step failed"); }); }
};

TEST(ThreadTest, AnErrorInAStepReachesTheThreadThatHandedItOver) {
  SetMainThread();
  Throwing t;
  t.Start();
  t.WaitFor();
  EXPECT_EQ(t.FatalMessage(), "step failed");
}

TEST(ThreadTest, MainThreadServesNoStepsWhileHoldingTheLock) {
  SetMainThread();
  CriticalSection lock;
  int counter = 0;
  StepThread t(1, counter);
  t.Start();
  lock.Enter();
  lock.Enter();  // re-entrant
  WaitForMainThreadWork(std::chrono::milliseconds(100));
  EXPECT_FALSE(ServeMainThreadSteps());
  lock.Leave();
  EXPECT_FALSE(ServeMainThreadSteps());
  EXPECT_EQ(counter, 0);
  lock.Leave();
  t.WaitFor();
  EXPECT_EQ(counter, 1);
}

// Posts many steps between waited ones, as the dispatcher posts its claim
// and then waits to read the controls.
class PostingThread : public Thread {
 public:
  explicit PostingThread(std::vector<int>& order) : order_(order) {}
  int seenAtEachWait = 0;  // waited steps that found every earlier post done

 protected:
  void Execute() override {
    for (int i = 0; i < 200; ++i) {
      PostToMainThread([this, i] { order_.push_back(i); });
      if (i % 10 == 9) Synchronize([this, i] { seenAtEachWait += order_.size() == static_cast<size_t>(i + 1); });
    }
  }

 private:
  std::vector<int>& order_;  // touched on the main thread only
};

TEST(ThreadTest, PostedStepsRunInOrderAndBeforeALaterWaitedStep) {
  SetMainThread();
  std::vector<int> order;
  PostingThread t(order);
  t.Start();
  t.WaitFor();
  ServeMainThreadSteps();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(t.seenAtEachWait, 20);
}

TEST(ThreadTest, TerminateStopsALoopingThread) {
  SetMainThread();
  int counter = 0;
  StepThread t(1 << 30, counter);
  t.Start();
  while (counter < 10) {
    ServeMainThreadSteps();
    WaitForMainThreadWork(std::chrono::milliseconds(10));
  }
  t.Terminate();
  t.WaitFor();
  EXPECT_TRUE(t.Finished());
}

// A sleeper that looked, found nothing to do and is about to wait must not
// miss a signal that came in between.
TEST(WakeupTest, ASignalBeforeTheWaitIsKeptAndAWaitWithoutOneEndsAtItsDueTime) {
  using Clock = Wakeup::Clock;
  Wakeup wakeup;
  wakeup.Signal();
  EXPECT_TRUE(wakeup.WaitUntil(Clock::time_point::max()));
  const auto start = Clock::now();
  EXPECT_FALSE(wakeup.WaitUntil(start + std::chrono::milliseconds(50)));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
  std::thread signaller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    wakeup.Signal();
  });
  EXPECT_TRUE(wakeup.WaitUntil(Clock::time_point::max()));
  signaller.join();
}

}  // namespace
}  // namespace velt
