// Articles per second of the whole crawl (dispatcher, 30 workers, analysis
// and row updates in a real database) against the sample site answering
// each request after 20 ms. Printed as a share of the bound that 30
// connections of 20 ms allow (1,500 per second), and beside curl fetching
// the same URLs with 30 parallel transfers in the same run; the same again
// over HTTPS (the site with a throw-away certificate on port 443). Ports 80
// and 443 must be free: run it through tests/run-in-netns.sh (the
// run_crawl_bench target does).
//
//   crawl_bench [articles, default 3000]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "crawler/DownloadThread.h"
#include "crawler/ThreadCreator.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "tools/kbsite/SiteProcess.h"
#include "tools/kbsite/ThrowAwayCertificates.h"

extern char** environ;

namespace {

constexpr int kWorkers = 30;
constexpr int kLatencyMs = 20;
constexpr int kFirst = 100000;
constexpr int kRounds = 2;
using Clock = std::chrono::steady_clock;

// The window's part: a fixed position, a worker count and nothing shown.
class BenchHost : public velt::CrawlerHost {
 public:
  int allowed = kWorkers;
  int started = 0;
  int finished = 0;
  int running = 0;
  int errors = 0;

  int MaxThreads() const override { return allowed; }
  int ThreadCount() const override { return running; }
  bool Retry302() const override { return false; }
  void WriteLog(const std::string& text, int) override {
    ++errors;
    std::fprintf(stderr, "log: %s\n", text.c_str());
  }
  void AddToThreadList(const std::string&, const void*) override {
    ++running;
    if (++started == target) allowed = 0;  // no article beyond the target
  }
  void RemoveFromThreadList(const void*) override {
    --running;
    ++finished;
  }
  int target = 0;
};

constexpr char kHttpsBase[] = "https://localhost/default.aspx?scid=kb;ja;";

// The dispatcher whose workers fetch their numbers under another base URL.
class BaseUrlCreator : public velt::TThreadCreator {
 public:
  BaseUrlCreator(velt::CrawlerHost& host, std::string base) : TThreadCreator(host), host_(host), base_(base) {}

 protected:
  void StartWorker(const std::string& kbid, const std::string& url) override {
    if (base_.empty()) return TThreadCreator::StartWorker(kbid, url);
    auto worker = std::make_unique<velt::TDownloadThread>(host_, kbid, base_ + kbid);
    worker->Start();
    worker.release();  // it frees itself
  }

 private:
  velt::CrawlerHost& host_;
  std::string base_;
};

// Seconds for the crawl of `articles` numbers into a fresh database, under
// the dispatcher's own base URL when `base` is empty.
double Crawl(int articles, const std::filesystem::path& file, const std::string& base = "") {
  std::string error;
  velt::Database = std::make_unique<velt::TDatabaseJet>();
  if (!velt::Database->Open("", "", file.string(), error) ||
      !velt::RunIndexUpkeep(*velt::Database, [](const std::string&) {}, error)) {
    std::fprintf(stderr, "database: %s\n", error.c_str());
    std::exit(1);
  }
  BenchHost host;
  host.target = articles;
  BaseUrlCreator creator(host, base);
  const auto start = Clock::now();
  creator.Start();
  while (host.finished < articles) {
    velt::ServeMainThreadSteps();
    velt::WaitForMainThreadWork(std::chrono::milliseconds(5));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  creator.Terminate();
  creator.WaitFor();
  velt::Database.reset();
  std::filesystem::remove(file);
  if (host.errors > 0) std::exit(1);
  return seconds;
}

// Seconds curl takes to fetch the same article URLs (trusting the
// authority file when one is given); exits when it fails.
double Curl(int articles, const std::string& listPath, const std::string& base = velt::ArticleBaseUrl,
            const std::string& authority = "") {
  {
    std::ofstream list(listPath);
    for (int i = 0; i < articles; ++i) {
      list << "url = \"" << base << kFirst + i << "\"\noutput = \"/dev/null\"\n";
    }
  }
  // HTTP/1.0 like the crawl's own requests; without --parallel-immediate
  // curl holds new transfers back hoping to share a connection.
  std::vector<std::string> words = {"curl", "--silent", "--no-progress-meter", "--http1.0", "--parallel",
                                    "--parallel-immediate", "--parallel-max", std::to_string(kWorkers),
                                    "--config", listPath};
  if (!authority.empty()) words.insert(words.end(), {"--cacert", authority});
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = -1;
  int status = 1;
  if (::posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::filesystem::remove(listPath);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "curl failed\n");
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 3000;
  if (articles <= 0) {
    std::fprintf(stderr, "usage: crawl_bench [articles]\n");
    return 2;
  }
  velt::SetMainThread();
  velt::kbsite::SiteProcess site({"--latency-ms", std::to_string(kLatencyMs)});
  const auto& certificates = velt::kbsite::TrustedTestCertificates();
  std::vector<std::string> tlsArguments = certificates.TlsArguments("localhost");
  tlsArguments.insert(tlsArguments.end(), {"--latency-ms", std::to_string(kLatencyMs)});
  velt::kbsite::SiteProcess httpsSite(tlsArguments, 443);
  const auto scratch = std::filesystem::temp_directory_path() / ("crawl_bench_" + std::to_string(::getpid()));
  // Best of alternating rounds, so all meet the same machine load.
  double crawl = 1e9, curl = 1e9, httpsCrawl = 1e9, httpsCurl = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    crawl = std::min(crawl, Crawl(articles, scratch.string() + ".mdb"));
    curl = std::min(curl, Curl(articles, scratch.string() + ".curl"));
    httpsCrawl = std::min(httpsCrawl, Crawl(articles, scratch.string() + ".mdb", kHttpsBase));
    httpsCurl = std::min(httpsCurl, Curl(articles, scratch.string() + ".curl", kHttpsBase,
                                         certificates.TrustedAuthority()));
  }

  const double bound = kWorkers * 1000.0 / kLatencyMs;
  std::printf("%d articles, %d workers, site latency %d ms, best of %d rounds\n", articles, kWorkers, kLatencyMs,
              kRounds);
  std::printf("bound (%d / %d ms)          : %8.0f articles/s\n", kWorkers, kLatencyMs, bound);
  std::printf("crawl                       : %8.0f articles/s = %.2f of the bound\n", articles / crawl,
              articles / crawl / bound);
  std::printf("curl --parallel-max %d      : %8.0f articles/s = %.2f of the bound\n", kWorkers, articles / curl,
              articles / curl / bound);
  std::printf("ratio crawl / curl          : %8.2f\n", curl / crawl);
  std::printf("crawl over HTTPS            : %8.0f articles/s = %.2f of the bound\n", articles / httpsCrawl,
              articles / httpsCrawl / bound);
  std::printf("curl over HTTPS             : %8.0f articles/s = %.2f of the bound\n", articles / httpsCurl,
              articles / httpsCurl / bound);
  std::printf("ratio HTTPS crawl / curl    : %8.2f\n", httpsCurl / httpsCrawl);
  return 0;
}
