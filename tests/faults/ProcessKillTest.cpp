// The crawl process killed outright (SIGKILL), during a crawl of 30 workers
// and at moments spread over the shutdown compaction: the next start finds
// every row committed before the kill, turns claimed rows back into rows
// to fetch, and goes on. Runs through tests/run-in-netns.sh (the sample
// site listens on port 80).
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "store/DatabaseIO.h"
#include "store/IndexTable.h"
#include "tests/faults/ChildProcess.h"
#include "tests/faults/DatabaseFile.h"
#include "tools/kbsite/SiteProcess.h"

namespace velt::faults {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kKilled = 128 + SIGKILL;

std::string Kbid(const std::string& line) { return line.substr(line.size() - 6); }

// Reads the crawl's lines until `written` rows have been written while
// `running` workers are under way; returns the KBIDs written so far.
std::set<std::string> AwaitCrawl(ChildProcess& crawl, std::size_t written, std::size_t running) {
  std::set<std::string> started, ended;
  const auto deadline = Clock::now() + 60s;
  while (Clock::now() < deadline && (ended.size() < written || started.size() - ended.size() < running)) {
    const auto line = crawl.ReadLine(1s);
    if (!line) continue;
    if (line->starts_with("START ")) started.insert(Kbid(*line));
    if (line->starts_with("END ")) ended.insert(Kbid(*line));
  }
  EXPECT_GE(ended.size(), written);
  EXPECT_GE(started.size() - ended.size(), running);
  return ended;
}

// Lines the process printed before it died are still in the pipe.
void CollectWritten(ChildProcess& crawl, std::set<std::string>& written) {
  while (const auto line = crawl.ReadLine(200ms))
    if (line->starts_with("END ")) written.insert(Kbid(*line));
}

class ProcessKillTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::vector<std::string> Command(const std::string& mode, const std::string& workers = "") {
    std::vector<std::string> words = {FAULT_CRAWL_PROCESS, file_.string(), mode};
    if (!workers.empty()) words.push_back(workers);
    return words;
  }

  std::filesystem::path folder_ = MakeTempFolder("kill");
  std::filesystem::path file_ = folder_ / "index.mdb";
};

TEST_F(ProcessKillTest, KilledDuringACrawlOfThirtyWorkersKeepsEveryWrittenRowAndGoesOn) {
  // Answers take a while, so that 30 fetches are always under way.
  kbsite::SiteProcess site({"--seed", "5", "--latency-ms", "300"});
  std::set<std::string> written;
  {
    ChildProcess crawl(Command("crawl", "30"));
    ASSERT_TRUE(crawl.WaitForLine("READY", 30s));
    written = AwaitCrawl(crawl, 60, 30);
    crawl.Signal(SIGKILL);
    ASSERT_EQ(crawl.Wait(10s), kKilled);
    CollectWritten(crawl, written);
  }
  ASSERT_TRUE(PassesIntegrityCheck(file_));
  const RowCodes afterKill = ReadRowCodes(file_);
  std::set<std::string> claimed;
  for (const auto& [kbid, code] : afterKill) {
    if (written.count(kbid)) {
      EXPECT_TRUE(code && *code != 0) << kbid << " was written before the kill";
    } else {
      EXPECT_EQ(code, 0) << kbid << " was claimed but never written";
      claimed.insert(kbid);
    }
  }
  // About 30: a worker that just ended may not have been replaced yet.
  EXPECT_GE(claimed.size(), 20u);

  // The next start fetches the claimed numbers first, lowest first.
  ChildProcess next(Command("crawl", "30"));
  ASSERT_TRUE(next.WaitForLine("LOG 0 DELETE JUNK RECORDS:", 30s));
  for (const std::string& kbid : claimed) {
    const auto line = next.WaitForLine("START ", 30s);
    ASSERT_TRUE(line);
    EXPECT_EQ(Kbid(*line), kbid);
  }
  AwaitCrawl(next, claimed.size() + 30, 0);
  next.Signal(SIGTERM);
  EXPECT_EQ(next.Wait(60s), 0);
  EXPECT_NE(std::find(next.Lines().begin(), next.Lines().end(), "COMPACT 1 "), next.Lines().end());

  ASSERT_TRUE(PassesIntegrityCheck(file_));
  const RowCodes final = ReadRowCodes(file_);
  ExpectFetchedRowsWithoutGaps(final, "an orderly stop");
  for (const auto& [kbid, code] : final) {
    if (written.count(kbid)) {
      EXPECT_EQ(code, afterKill.at(kbid)) << kbid;
    }
  }
}

struct FreeShare {
  const char* name;
  int percentOfFile;
};

class ShutdownCompactionKill : public ProcessKillTest, public ::testing::WithParamInterface<FreeShare> {};

// Killed at moments spread over a compaction that gives a few free pages
// back in place, and over one that writes a copy: no row is lost, and the
// next start removes the copy that a killed run left, but not a file of
// someone else's that merely has such a name.
TEST_P(ShutdownCompactionKill, LosesNoRowAndTheNextStartRemovesTheLeftCopy) {
  MakeFilledDatabase(file_, 12000, 2000, 97);
  AddFreePages(file_, std::filesystem::file_size(file_) * GetParam().percentOfFile / 100);
  const std::string content = ContentSummary(file_);
  const auto original = folder_ / "original.mdb";
  std::filesystem::copy_file(file_, original);
  const auto foreign = folder_ / "!md1.tmp";
  std::ofstream(foreign) << "a note of the user's";

  // An undisturbed compaction first, to learn how long one takes.
  Clock::duration length;
  {
    ChildProcess compact(Command("compact"));
    ASSERT_TRUE(compact.WaitForLine("COMPACTING", 30s));
    const auto start = Clock::now();
    ASSERT_EQ(compact.WaitForLine("COMPACT ", 60s), "COMPACT 1 ");
    length = Clock::now() - start;
    EXPECT_EQ(compact.Wait(10s), 0);
  }
  ASSERT_EQ(ContentSummary(file_), content);
  EXPECT_EQ(FreePages(file_), 0);
  RecordProperty("compaction_ms",
                 static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(length).count()));

  for (int eighth = 0; eighth <= 8; ++eighth) {
    SCOPED_TRACE("killed after " + std::to_string(eighth) + "/8 of a compaction");
    // A log left by the killed run belongs to the file it replaces.
    std::filesystem::remove(file_.string() + "-wal");
    std::filesystem::remove(file_.string() + "-shm");
    std::filesystem::copy_file(original, file_, std::filesystem::copy_options::overwrite_existing);
    {
      ChildProcess compact(Command("compact"));
      ASSERT_TRUE(compact.WaitForLine("COMPACTING", 30s));
      std::this_thread::sleep_for(length * eighth / 8);
      compact.Signal(SIGKILL);
      const int exit = compact.Wait(10s);
      EXPECT_TRUE(exit == kKilled || exit == 0) << exit;
    }
    ASSERT_TRUE(PassesIntegrityCheck(file_));
    EXPECT_EQ(ContentSummary(file_), content);

    std::string error;
    EXPECT_TRUE(RemoveCompactionLeftovers(file_.string(), error)) << error;
    EXPECT_EQ(CompactionCopies(folder_), "!md1.tmp ");
    TDatabaseJet next;
    ASSERT_TRUE(next.Open("", "", file_.string(), error)) << error;
    ASSERT_TRUE(RunIndexUpkeep(next, [](const std::string&) {}, error)) << error;
    EXPECT_TRUE(next.ExecSQL(BuildClaimInsertSql("120000", "http://x/120000"), error)) << error;
    next.Close();
    std::size_t claimed = 0, toFetch = 0;
    for (const auto& [kbid, code] : ReadRowCodes(file_)) {
      claimed += code == 0;
      toFetch += !code.has_value();
    }
    EXPECT_EQ(claimed, 1u);  // the one just inserted
    EXPECT_EQ(toFetch, 12000u / 97 + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(FreeShares, ShutdownCompactionKill,
                         ::testing::Values(FreeShare{"AFewPagesFree", 5}, FreeShare{"MostOfTheFileFree", 150}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velt::faults
