// A re-entrant mutual exclusion lock.
//
// The thread that holds it may enter it again; each Enter needs its Leave.
// While the main thread holds it, the main thread serves no hand-off steps
// (MainThread.h), so a step can never run inside a handler holding the lock.
// A thread must never wait for the main thread while it holds the lock.
#pragma once

#include <mutex>

namespace velt {

class CriticalSection {
 public:
  void Enter();
  void Leave();

 private:
  std::recursive_mutex mutex_;
};

// Holds a CriticalSection for the life of the scope.
class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~CriticalSectionGuard() { section_.Leave(); }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

 private:
  CriticalSection& section_;
};

}  // namespace velt
