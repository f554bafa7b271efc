// Articles per second of the whole crawl (dispatcher, 30 workers, analysis
// and row updates in a real database) against the sample site answering
// each request after 20 ms, then after 100 ms. Each is printed as a share
// of the bound that 30 connections of that latency allow (1,500 and 300
// per second), and beside curl fetching the same URLs with 30 parallel
// transfers in the same run; the same again over HTTPS (the site with a
// throw-away certificate on port 443). At 20 ms the dispatcher's pace (one
// worker per pass, a pause of a millisecond) limits the crawl; at 100 ms
// the connections do. A third figure, 30 threads fetching one number after
// another with no dispatcher and no database, shows what the client alone
// reaches, and so what the pace costs. At 100 ms the crawl and curl also
// fetch over HTTP through Debian's tinyproxy on 127.0.0.1:3128 and through
// its microsocks (SOCKS5) on 127.0.0.1:1080, both started here. At 100 ms
// a refresh of the articles of a first crawl (all unchanged, so the site
// answers 304 to each conditional request) runs beside that first crawl:
// its pace as a share of the first crawl's, and the bytes it moves on the
// loopback device as a share of the first crawl's. Ports 80, 443, 3128 and
// 1080 must be free: run it through
// tests/run-in-netns.sh (the run_crawl_bench target does).
//
//   crawl_bench [articles, default 3000]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/OnThreads.h"
#include "crawler/DownloadThread.h"
#include "crawler/ThreadCreator.h"
#include "net/FetchRequest.h"
#include "net/Http.h"
#include "net/ProxyChoice.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "tools/kbsite/SiteProcess.h"
#include "tools/kbsite/ThrowAwayCertificates.h"

extern char** environ;

namespace {

constexpr int kWorkers = 30;
constexpr int kLatenciesMs[] = {20, 100};
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
  int RefreshDays() const override { return refreshDays; }
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
  int refreshDays = -1;
};

// Bytes the loopback device has received so far: in the bench's own
// network namespace, the crawl's requests and answers.
long long LoopbackBytes() {
  std::ifstream dev("/proc/net/dev");
  for (std::string line; std::getline(dev, line);) {
    const size_t name = line.find("lo:");
    if (name != std::string::npos) return std::atoll(line.c_str() + name + 3);
  }
  return 0;
}

constexpr char kHttpsBase[] = "https://localhost/default.aspx?scid=kb;ja;";

// Seconds for the crawl of `articles` numbers into a fresh database, or
// with `refreshDays` not negative for their refresh in the kept file of
// an earlier crawl (`keep`).
double Crawl(int articles, const std::filesystem::path& file, const std::string& base = velt::ArticleBaseUrl,
             std::shared_ptr<const velt::ProxyRoutes> proxies = nullptr, bool keep = false, int refreshDays = -1) {
  std::string error;
  velt::Database = std::make_unique<velt::TDatabaseJet>();
  if (!velt::Database->Open("", "", file.string(), error) ||
      !velt::RunIndexUpkeep(*velt::Database, [](const std::string&) {}, error)) {
    std::fprintf(stderr, "database: %s\n", error.c_str());
    std::exit(1);
  }
  BenchHost host;
  host.target = articles;
  host.refreshDays = refreshDays;
  velt::TThreadCreator creator(host, base, std::move(proxies));
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
  if (!keep) std::filesystem::remove(file);
  if (host.errors > 0) std::exit(1);
  return seconds;
}

// Seconds 30 threads take to fetch the same numbers, each taking the next
// one as soon as its fetch ends; the answers are dropped.
double FreeRunning(int articles, const std::string& base = velt::ArticleBaseUrl) {
  return velt::bench::SecondsOnThreads(kWorkers, articles, [&](int n) {
    velt::FetchTarget target;
    velt::SplitFetchUrl(base + std::to_string(kFirst + n), target);
    try {
      velt::HttpRequest(target, velt::FetchRequest(target, nullptr),
                        [](const char*, int) { return true; });
    } catch (const std::exception& e) {
      std::fprintf(stderr, "fetch: %s\n", e.what());
      std::exit(1);
    }
  });
}

// Seconds curl takes to fetch the same article URLs (trusting the
// authority file when one is given); exits when it fails.
double Curl(int articles, const std::string& listPath, const std::string& base = velt::ArticleBaseUrl,
            const std::string& authority = "", const std::string& proxy = "") {
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
  if (!proxy.empty()) words.insert(words.end(), {"--proxy", proxy});
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

constexpr int kProxyLatencyMs = 100;

// A proxy server of Debian's on a loopback port for as long as the object
// lives.
class ProxyDaemon {
 public:
  ProxyDaemon(std::vector<std::string> words, int port) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // Its line per connection would cost it time and hide the figures.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&quiet, STDOUT_FILENO, STDERR_FILENO);
    const int spawned = ::posix_spawnp(&pid_, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
      std::fprintf(stderr, "%s did not start\n", argv[0]);
      std::exit(1);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int attempt = 0;; ++attempt) {
      const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
      const bool accepted = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      ::close(fd);
      if (accepted) return;
      if (attempt == 100) std::exit(1);
      ::usleep(50000);
    }
  }
  ~ProxyDaemon() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

struct Proxied {
  std::string name;
  double crawl = 1e9;
  double curl = 1e9;
};

// The crawl and curl at the proxy latency through tinyproxy on port 3128
// and through microsocks (SOCKS5) on port 1080.
std::vector<Proxied> ThroughProxies(int articles, const std::filesystem::path& scratch) {
  const std::string config = scratch.string() + ".tinyproxy";
  std::ofstream(config) << "Port 3128\nListen 127.0.0.1\nMaxClients 100\nLogLevel Critical\nAllow 127.0.0.1\n";
  const struct {
    const char* name;
    std::vector<std::string> words;
    int port;
    const char* url;
  } proxies[] = {{"tinyproxy", {"tinyproxy", "-d", "-c", config}, 3128, "http://127.0.0.1:3128"},
                 {"microsocks", {"microsocks", "-i", "127.0.0.1", "-p", "1080"}, 1080, "socks5://127.0.0.1:1080"}};
  std::vector<Proxied> results;
  for (const auto& proxy : proxies) {
    ProxyDaemon daemon(proxy.words, proxy.port);
    auto routes = std::make_shared<velt::ProxyRoutes>();
    velt::ChooseProxyRoutes(proxy.url, velt::ProcessEnvironment(), *routes);
    Proxied result{proxy.name};
    for (int round = 0; round < kRounds; ++round) {
      result.crawl = std::min(result.crawl, Crawl(articles, scratch.string() + ".mdb", velt::ArticleBaseUrl, routes));
      result.curl =
          std::min(result.curl, Curl(articles, scratch.string() + ".curl", velt::ArticleBaseUrl, "", proxy.url));
    }
    results.push_back(result);
  }
  std::filesystem::remove(config);
  return results;
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 3000;
  if (articles <= 0) {
    std::fprintf(stderr, "usage: crawl_bench [articles]\n");
    return 2;
  }
  velt::SetMainThread();
  const auto& certificates = velt::kbsite::TrustedTestCertificates();
  const auto scratch = std::filesystem::temp_directory_path() / ("crawl_bench_" + std::to_string(::getpid()));
  std::printf("%d articles, %d workers, best of %d rounds\n", articles, kWorkers, kRounds);
  for (const int latencyMs : kLatenciesMs) {
    velt::kbsite::SiteProcess site({"--latency-ms", std::to_string(latencyMs)});
    std::vector<std::string> tlsArguments = certificates.TlsArguments("localhost");
    tlsArguments.insert(tlsArguments.end(), {"--latency-ms", std::to_string(latencyMs)});
    velt::kbsite::SiteProcess httpsSite(tlsArguments, 443);
    // Best of alternating rounds, so all meet the same machine load.
    double crawl = 1e9, curl = 1e9, httpsCrawl = 1e9, httpsCurl = 1e9, client = 1e9;
    for (int round = 0; round < kRounds; ++round) {
      crawl = std::min(crawl, Crawl(articles, scratch.string() + ".mdb"));
      client = std::min(client, FreeRunning(articles));
      curl = std::min(curl, Curl(articles, scratch.string() + ".curl"));
      httpsCrawl = std::min(httpsCrawl, Crawl(articles, scratch.string() + ".mdb", kHttpsBase));
      httpsCurl = std::min(httpsCurl, Curl(articles, scratch.string() + ".curl", kHttpsBase,
                                           certificates.TrustedAuthority()));
    }
    const std::vector<Proxied> proxied =
        latencyMs == kProxyLatencyMs ? ThroughProxies(articles, scratch) : std::vector<Proxied>{};
    double first = 1e9, refresh = 1e9, bytesShare = 1;
    if (latencyMs == kProxyLatencyMs) {
      for (int round = 0; round < kRounds; ++round) {
        const std::string file = scratch.string() + ".refresh.mdb";
        const long long atStart = LoopbackBytes();
        first = std::min(first, Crawl(articles, file, velt::ArticleBaseUrl, nullptr, true));
        const long long afterFirst = LoopbackBytes();
        refresh = std::min(refresh, Crawl(articles, file, velt::ArticleBaseUrl, nullptr, false, 0));
        bytesShare = std::min(bytesShare, static_cast<double>(LoopbackBytes() - afterFirst) /
                                              static_cast<double>(afterFirst - atStart));
      }
    }
    site.Stop();
    httpsSite.Stop();

    const double bound = kWorkers * 1000.0 / latencyMs;
    const std::string boundLabel = "bound (" + std::to_string(kWorkers) + " / " + std::to_string(latencyMs) + " ms)";
    const std::string curlLabel = "curl --parallel-max " + std::to_string(kWorkers);
    auto share = [&](const char* label, double seconds) {
      std::printf("%-28s: %8.0f articles/s = %.2f of the bound\n", label, articles / seconds,
                  articles / seconds / bound);
    };
    std::printf("\nsite latency %d ms\n", latencyMs);
    std::printf("%-28s: %8.0f articles/s\n", boundLabel.c_str(), bound);
    share("crawl", crawl);
    share(curlLabel.c_str(), curl);
    std::printf("%-28s: %8.2f\n", "ratio crawl / curl", curl / crawl);
    share("client alone, 30 threads", client);
    share("crawl over HTTPS", httpsCrawl);
    share("curl over HTTPS", httpsCurl);
    std::printf("%-28s: %8.2f\n", "ratio HTTPS crawl / curl", httpsCurl / httpsCrawl);
    if (refresh < 1e9) {
      share("first crawl", first);
      share("refresh of it, unchanged", refresh);
      std::printf("%-28s: %8.2f\n", "ratio refresh / first crawl", first / refresh);
      std::printf("%-28s: %8.3f\n", "bytes refresh / first crawl", bytesShare);
    }
    for (const Proxied& through : proxied) {
      share(("crawl through " + through.name).c_str(), through.crawl);
      share(("curl through " + through.name).c_str(), through.curl);
      std::printf("%-28s: %8.2f\n", ("ratio " + through.name + " crawl / curl").c_str(), through.curl / through.crawl);
    }
  }
  return 0;
}
