#include "platform/MainThread.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace velt {
namespace {

struct PendingStep {
  const std::function<void()>* step;
  std::exception_ptr error;
  bool done = false;
  bool posted = false;  // nobody waits: the step is freed once it has run
};

struct HandOff {
  std::mutex mutex;
  std::condition_variable mainWakes;    // main thread: a step arrived, or a wake-up
  std::condition_variable stepsDone;    // workers: their step has run
  std::deque<PendingStep*> queue;
  std::function<void()> wakeup;
  bool woken = false;
  std::thread::id mainId = std::this_thread::get_id();
  int heldDepth = 0;  // touched by the main thread only
};

// Never destroyed: a self-freeing thread may still wake the main thread
// while the process is exiting, after static objects have been torn down.
HandOff& State() {
  static HandOff* state = new HandOff;
  return *state;
}

void Enqueue(PendingStep* pending) {
  HandOff& s = State();
  std::function<void()> wakeup;
  {
    std::lock_guard lock(s.mutex);
    s.queue.push_back(pending);
    wakeup = s.wakeup;
  }
  s.mainWakes.notify_all();
  if (wakeup) wakeup();
}

void RunPosted(PendingStep* pending) noexcept {
  (*pending->step)();
  delete pending->step;
  delete pending;
}

}  // namespace

void SetMainThread() { State().mainId = std::this_thread::get_id(); }

bool IsMainThread() { return std::this_thread::get_id() == State().mainId; }

void RunOnMainThread(const std::function<void()>& step) {
  if (IsMainThread()) {
    step();
    return;
  }
  HandOff& s = State();
  PendingStep pending{&step, nullptr, false};
  Enqueue(&pending);
  std::unique_lock lock(s.mutex);
  s.stepsDone.wait(lock, [&] { return pending.done; });
  if (pending.error) std::rethrow_exception(pending.error);
}

void PostToMainThread(std::function<void()> step) {
  if (IsMainThread()) {
    step();
    return;
  }
  Enqueue(new PendingStep{new std::function<void()>(std::move(step)), nullptr, false, true});
}

bool ServeMainThreadSteps() {
  HandOff& s = State();
  if (s.heldDepth > 0) return false;
  bool ranAny = false;
  for (;;) {
    PendingStep* pending;
    {
      std::lock_guard lock(s.mutex);
      if (s.queue.empty()) break;
      pending = s.queue.front();
      s.queue.pop_front();
    }
    ranAny = true;
    if (pending->posted) {
      RunPosted(pending);
      continue;
    }
    try {
      (*pending->step)();
    } catch (...) {
      pending->error = std::current_exception();
    }
    {
      std::lock_guard lock(s.mutex);
      pending->done = true;
    }
    s.stepsDone.notify_all();
  }
  return ranAny;
}

void WaitForMainThreadWork(std::chrono::milliseconds timeout) {
  HandOff& s = State();
  std::unique_lock lock(s.mutex);
  s.mainWakes.wait_for(lock, timeout, [&] { return s.woken || (!s.queue.empty() && s.heldDepth == 0); });
  s.woken = false;
}

void WakeMainThread() {
  HandOff& s = State();
  {
    std::lock_guard lock(s.mutex);
    s.woken = true;
  }
  s.mainWakes.notify_all();
}

void SetMainThreadWakeup(std::function<void()> wakeup) {
  HandOff& s = State();
  std::lock_guard lock(s.mutex);
  s.wakeup = std::move(wakeup);
}

void HoldMainThreadSteps() { ++State().heldDepth; }
void ReleaseMainThreadSteps() { --State().heldDepth; }

}  // namespace velt
