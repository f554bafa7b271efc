#include "tests/crawler/FakeHost.h"

#include "platform/MainThread.h"

namespace velt::testing {

void FakeHost::AddToThreadList(const std::string& url, const void* worker) {
  lines[worker] = url;
  added.push_back(url);
}

bool ServeUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ServeMainThreadSteps();
    WaitForMainThreadWork(std::chrono::milliseconds(5));
  }
  return true;
}

void ServeFor(std::chrono::milliseconds time) {
  ServeUntil([] { return false; }, time);
}

}  // namespace velt::testing
