// A pool of threads that works through numbered jobs, each thread taking
// the next number as soon as its job returns: how a pool of connections
// fetches when nothing else paces it. For the benchmarks only.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace velt::bench {

// Seconds that `threads` threads take to run job(0) .. job(count - 1).
template <typename Job>
double SecondsOnThreads(int threads, int count, const Job& job) {
  std::atomic<int> next{0};
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      for (int i = next++; i < count; i = next++) job(i);
    });
  }
  for (auto& thread : pool) thread.join();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace velt::bench
