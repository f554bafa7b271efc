// The program's crawl without its window, as a process that fault tests can
// kill at any moment:
//
//   fault_crawl_process DATABASE crawl WORKERS   open, upkeep, crawl with up
//       to WORKERS downloads until SIGTERM, then shut down as the window
//       does (stop the dispatcher, wait for the workers, compact, close)
//   fault_crawl_process DATABASE compact         open, compact, close
//   fault_crawl_process DATABASE insert KBID     open, insert one claimed
//       row, close without compacting
//   fault_crawl_process DATABASE churn KBID      open, insert rows from KBID
//       up and delete every other one again until SIGTERM, then compact
//       and close
//
// Standard output, one line per event: "OPEN 1" or "OPEN 0 <error>",
// "LOG <level> <text>", "READY", "START <url>" when a worker takes a
// number, "END <url>" once its row is written, "COMPACTING",
// "COMPACT <1|0> <error>", "ROW <kbid>" once an inserted row is committed,
// "GONE <kbid>" once a deletion is, "EXIT".
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "crawler/CrawlerHost.h"
#include "crawler/ThreadCreator.h"
#include "net/Http.h"
#include "platform/MainThread.h"
#include "store/DatabaseIO.h"
#include "store/IndexTable.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

class PrintingHost : public velt::CrawlerHost {
 public:
  explicit PrintingHost(int maxThreads) : maxThreads_(maxThreads) {}
  int MaxThreads() const override { return maxThreads_; }
  int ThreadCount() const override { return static_cast<int>(lines_.size()); }
  bool Retry302() const override { return false; }
  void WriteLog(const std::string& text, int level) override { Print("LOG " + std::to_string(level) + " " + text); }
  void AddToThreadList(const std::string& url, const void* worker) override {
    lines_[worker] = url;
    Print("START " + url);
  }
  void RemoveFromThreadList(const void* worker) override {
    Print("END " + lines_[worker]);
    lines_.erase(worker);
  }

 private:
  int maxThreads_;
  std::map<const void*, std::string> lines_;
};

void ServeWhile(const auto& condition) {
  while (condition()) {
    velt::ServeMainThreadSteps();
    velt::WaitForMainThreadWork(std::chrono::milliseconds(5));
  }
}

void Compact() {
  Print("COMPACTING");
  std::string error;
  const bool reopened = velt::Database->Compact(error);
  Print(std::string("COMPACT ") + (reopened && error.empty() ? "1 " : "0 ") + error);
}

int Crawl(int workers) {
  std::string error;
  if (!velt::RunIndexUpkeep(*velt::Database, [](const std::string& line) { Print("LOG 0 " + line); }, error)) {
    Print("LOG 1 " + error);
    return 3;
  }
  Print("READY");
  PrintingHost host(workers);
  {
    velt::TThreadCreator creator(host, velt::ArticleBaseUrl);
    creator.Start();
    ServeWhile([] { return !stopRequested; });
    creator.Terminate();
    creator.WaitFor();
  }
  ServeWhile([&] { return host.ThreadCount() > 0; });
  Compact();
  return 0;
}

bool Exec(const std::string& sql) {
  std::string error;
  if (velt::Database->ExecSQL(sql, error)) return true;
  Print("LOG 1 " + error);
  return false;
}

bool Insert(int kbid) {
  const std::string number = std::to_string(kbid);
  if (!Exec(velt::BuildClaimInsertSql(number, "http://localhost/" + number))) return false;
  Print("ROW " + number);
  return true;
}

// Writes until stopped; the deletions leave free pages for the compaction.
int Churn(int first) {
  Print("READY");
  for (int kbid = first; !stopRequested; ++kbid) {
    if (!Insert(kbid)) return 3;
    if ((kbid - first) % 2 == 1) {
      if (!Exec(velt::BuildDeleteRowSql(std::to_string(kbid)))) return 3;
      Print("GONE " + std::to_string(kbid));
    }
  }
  Compact();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::signal(SIGTERM, [](int) { stopRequested = 1; });
  velt::SetMainThread();
  velt::NetStartup();
  velt::Database = std::make_unique<velt::TDatabaseJet>();
  std::string error;
  if (!velt::RemoveCompactionLeftovers(argv[1], error)) Print("LOG 1 " + error);
  if (!velt::Database->Open("", "", argv[1], error)) {
    Print("OPEN 0 " + error);
    return 1;
  }
  Print("OPEN 1");
  const std::string mode = argv[2];
  int rc = 2;
  if (mode == "crawl" && argc == 4) rc = Crawl(std::stoi(argv[3]));
  if (mode == "insert" && argc == 4) rc = Insert(std::stoi(argv[3])) ? 0 : 3;
  if (mode == "churn" && argc == 4) rc = Churn(std::stoi(argv[3]));
  if (mode == "compact") {
    Compact();
    rc = 0;
  }
  velt::Database->Close();
  velt::Database.reset();
  velt::NetCleanup();
  Print("EXIT");
  return rc;
}
