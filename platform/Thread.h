// Thread base with a stop request, optional self-freeing and main-thread steps.
//
// A subclass overrides Execute. The thread is created suspended and begins
// with Start. Terminate sets the stop request; Execute looks at Terminated.
//
// With SetFreeOnTerminate(true) the object deletes itself on its own thread
// when Execute has returned, so its destructor runs there and may still hand
// steps to the main thread. Nobody may touch such an object after Start
// except through what it publishes itself.
//
// WaitFor blocks until Execute has returned. Called on the main thread it
// keeps serving the thread's main-thread steps meanwhile, so the two never
// wait for each other. An exception that escapes Execute ends the run; its
// message is kept in FatalMessage.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace velt {

class Thread {
 public:
  Thread();
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  void Start();
  // Sets the stop request; a subclass that sleeps between its steps also
  // wakes itself here.
  virtual void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  void WaitFor();
  bool Finished() const { return finished_; }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  std::string FatalMessage() const;

 protected:
  virtual void Execute() = 0;
  // Runs the step on the main thread and waits for it (RunOnMainThread).
  void Synchronize(const std::function<void()>& step);

 private:
  void Run();

  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> freeOnTerminate_{false};
  mutable std::mutex fatalMutex_;
  std::string fatalMessage_;
};

}  // namespace velt
