// The one road from a background thread to the main thread.
//
// A worker hands a step to the main thread with RunOnMainThread and waits
// until it has run. The main thread runs queued steps only at the points
// where it calls ServeMainThreadSteps: from its event loop (the GUI installs
// a wake-up that posts one event per queued step) and from the waits in
// which it blocks for background threads (WaitForMainThreadWork).
//
// While the main thread holds a critical section (see CriticalSection.h) it
// serves no steps, even if a nested event loop calls ServeMainThreadSteps:
// a step never runs inside a handler that holds the database lock.
//
// Exceptions thrown by a step are carried back to the thread that handed it
// over and rethrown there.
//
// Steps run in the order they were handed over, whichever call handed them
// over: once a RunOnMainThread returns, every step that the same thread
// posted before it has run.
#pragma once

#include <chrono>
#include <functional>

namespace velt {

// Marks the calling thread as the main thread. Call once, first thing.
void SetMainThread();
bool IsMainThread();

// Runs the step on the main thread and waits until it has run. Called on
// the main thread it runs the step at once.
void RunOnMainThread(const std::function<void()>& step);

// Queues the step for the main thread and returns at once; called on the
// main thread it runs the step at once. The step must not throw: nobody is
// left to receive the error, so one that escapes ends the program.
void PostToMainThread(std::function<void()> step);

// Runs every step queued so far (main thread only). Returns whether any ran.
bool ServeMainThreadSteps();

// Blocks the main thread until a step is queued, WakeMainThread is called,
// or the timeout passes, without using the processor meanwhile.
void WaitForMainThreadWork(std::chrono::milliseconds timeout);

// Wakes a main thread that is blocked in WaitForMainThreadWork (used when a
// thread ends, so that a wait for it re-checks its condition).
void WakeMainThread();

// The GUI's hook: called (from any thread) after a step has been queued, so
// the event loop can schedule a call of ServeMainThreadSteps.
void SetMainThreadWakeup(std::function<void()> wakeup);

// Keep the main thread from serving steps until the matching release
// (nests). Used by CriticalSection; main thread only.
void HoldMainThreadSteps();
void ReleaseMainThreadSteps();

}  // namespace velt
