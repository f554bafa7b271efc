// Fetches per second of HttpRequest on 30 threads against the sample site,
// beside curl fetching the same URLs with 30 parallel transfers in the same
// run. Port 80 must be free: run it through tests/run-in-netns.sh (the
// run_net_bench target does).
//
//   net_fetch_bench [fetches per round, default 3000] [page size, default 6000]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/OnThreads.h"
#include "net/Http.h"
#include "tools/kbsite/SiteProcess.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kThreads = 30;
constexpr int kRounds = 3;
constexpr int kFirst = 100000;

std::string PathFor(int number) { return "/default.aspx?scid=kb;ja;" + std::to_string(number); }

// Seconds for all fetches; counts answers that did not start with a status line.
double FetchWithThreads(int fetches, int& bad) {
  std::atomic<int> failures{0};
  const double seconds = velt::bench::SecondsOnThreads(kThreads, fetches, [&](int i) {
    std::string answer;
    const std::string request =
        "GET " + PathFor(kFirst + i) + " HTTP/1.0\r\nHOST: 127.0.0.1:80\r\nUser-Agent: bench\r\n\r\n";
    try {
      velt::HttpRequest("127.0.0.1", request, [&](const char* bytes, int count) {
        answer.append(bytes, static_cast<std::size_t>(count));
        return true;
      });
    } catch (const std::exception&) {
    }
    if (!answer.starts_with("HTTP/1.1 ")) ++failures;
  });
  bad = failures;
  return seconds;
}

// Seconds curl takes for the same URLs; -1 when it fails.
double FetchWithCurl(const std::string& config) {
  std::vector<std::string> words = {"curl", "--silent", "--no-progress-meter", "--parallel", "--parallel-max",
                                    std::to_string(kThreads), "--config", config};
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = -1;
  if (::posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

std::string WriteCurlConfig(int fetches) {
  const std::string path = "/tmp/net_fetch_bench_" + std::to_string(::getpid()) + ".curl";
  std::ofstream file(path);
  for (int i = 0; i < fetches; ++i) {
    file << "url = \"http://127.0.0.1" << PathFor(kFirst + i) << "\"\noutput = \"/dev/null\"\n";
  }
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  const int fetches = argc > 1 ? std::atoi(argv[1]) : 3000;
  const std::string pageSize = argc > 2 ? argv[2] : "6000";
  if (fetches <= 0) {
    std::fprintf(stderr, "usage: net_fetch_bench [fetches] [page size]\n");
    return 2;
  }
  velt::kbsite::SiteProcess site({"--page-size", pageSize});
  const std::string config = WriteCurlConfig(fetches);
  int bad = 0;
  FetchWithThreads(std::min(fetches, 300), bad);  // warm-up

  // Best of several rounds each, alternating, so both meet the same load.
  double ours = 1e9, curl = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    ours = std::min(ours, FetchWithThreads(fetches, bad));
    const double theirs = FetchWithCurl(config);
    if (theirs < 0) {
      std::fprintf(stderr, "curl failed\n");
      ::unlink(config.c_str());
      return 1;
    }
    curl = std::min(curl, theirs);
  }
  ::unlink(config.c_str());
  std::printf("%d fetches of %s-byte pages from kbsite, best of %d rounds\n", fetches, pageSize.c_str(), kRounds);
  std::printf("HttpRequest, %d threads      : %8.0f fetches/s (%d bad answers)\n", kThreads, fetches / ours, bad);
  std::printf("curl --parallel-max %d (base): %8.0f fetches/s\n", kThreads, fetches / curl);
  std::printf("ratio HttpRequest / curl     : %8.2f\n", curl / ours);
  return bad == 0 ? 0 : 1;
}
