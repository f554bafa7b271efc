#include "platform/Thread.h"

#include <chrono>
#include <exception>

#include "platform/MainThread.h"

namespace velt {

Thread::Thread() = default;

Thread::~Thread() {
  // A self-freeing thread is destroyed on its own thread after its run and
  // has already detached; any other is joined here.
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();
    } else {
      thread_.join();
    }
  }
}

void Thread::Start() {
  // A self-freeing object may be gone as soon as the new thread exists, so
  // everything Start needs of it is read before.
  const bool selfFreeing = freeOnTerminate_;
  std::thread started([this] { Run(); });
  if (selfFreeing) {
    started.detach();
  } else {
    thread_ = std::move(started);
  }
}

void Thread::Run() {
  try {
    Execute();
  } catch (const std::exception& e) {
    std::lock_guard lock(fatalMutex_);
    fatalMessage_ = e.what();
  } catch (...) {
    std::lock_guard lock(fatalMutex_);
    fatalMessage_ = "unknown error";
  }
  if (freeOnTerminate_) {
    delete this;
    WakeMainThread();
    return;
  }
  finished_ = true;
  WakeMainThread();
}

void Thread::WaitFor() {
  if (IsMainThread()) {
    while (!finished_) {
      ServeMainThreadSteps();
      WaitForMainThreadWork(std::chrono::milliseconds(50));
    }
  }
  if (thread_.joinable()) thread_.join();
}

std::string Thread::FatalMessage() const {
  std::lock_guard lock(fatalMutex_);
  return fatalMessage_;
}

void Thread::Synchronize(const std::function<void()>& step) { RunOnMainThread(step); }

}  // namespace velt
