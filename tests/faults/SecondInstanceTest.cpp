// Two crawl processes on one database file at the same time, as when the
// program is started twice. The engine lets both use the file; neither may
// damage it or lose a row the other wrote, and the first to stop must not
// compact the file away under the one still running. The second start may
// find the file busy during its upkeep; it must then stop cleanly. A
// process that writes while another puts its compacted copy in place, and
// two that close at the same moment, lose nothing either.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>

#include "store/DatabaseIO.h"
#include "tests/faults/ChildProcess.h"
#include "tests/faults/DatabaseFile.h"
#include "tools/kbsite/SiteProcess.h"

namespace velt::faults {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Reads each process's lines until it has written `rows` more rows.
void AwaitWrites(std::vector<ChildProcess*> crawls, std::size_t rows) {
  for (ChildProcess* crawl : crawls) {
    std::size_t ended = 0;
    const auto deadline = Clock::now() + 60s;
    while (ended < rows && Clock::now() < deadline) {
      const auto line = crawl->ReadLine(1s);
      ended += line && line->starts_with("END ");
    }
    EXPECT_EQ(ended, rows);
  }
}

// The KBIDs whose rows the process reported written.
void AddWritten(const ChildProcess& crawl, std::set<std::string>& written) {
  for (const std::string& line : crawl.Lines())
    if (line.starts_with("END ")) written.insert(line.substr(line.size() - 6));
}

// Error lines other than a claim that found the file busy with the other
// process's write: the claim's deferred transaction cannot wait for that,
// and the dispatcher claims again in a later pass.
std::string UnexpectedErrors(const ChildProcess& crawl) {
  std::string errors;
  for (const std::string& line : crawl.Lines())
    if (line.starts_with("LOG 1") && !line.starts_with("LOG 1 database is locked;")) errors += line + "\n";
  return errors;
}

std::string LineStarting(const ChildProcess& process, const std::string& prefix) {
  const auto& lines = process.Lines();
  const auto found = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.starts_with(prefix); });
  return found == lines.end() ? "" : *found;
}

TEST(SecondInstance, TwoCrawlsShareTheFileWithoutDamageOrLossAndOnlyTheLastCompacts) {
  const auto folder = MakeTempFolder("twice");
  const std::string file = (folder / "index.mdb").string();
  kbsite::SiteProcess site({"--seed", "3", "--latency-ms", "50"});
  std::set<std::string> written;
  int refusedStarts = 0;
  {
    ChildProcess first({FAULT_CRAWL_PROCESS, file, "crawl", "15"});
    ASSERT_TRUE(first.WaitForLine("READY", 30s));
    std::unique_ptr<ChildProcess> started;
    for (int attempt = 0; attempt < 20 && !started; ++attempt) {
      auto second = std::make_unique<ChildProcess>(std::vector<std::string>{FAULT_CRAWL_PROCESS, file, "crawl", "15"});
      if (second->WaitForLine("READY", 30s)) {
        started = std::move(second);
        continue;
      }
      // The start-up upkeep may meet the first process's write and give
      // up at once; the program then says so and starts no crawl.
      EXPECT_EQ(second->Wait(30s), 3);
      EXPECT_EQ(second->Lines(), (std::vector<std::string>{"OPEN 1", "LOG 1 database is locked", "EXIT"}));
      ++refusedStarts;
    }
    ASSERT_TRUE(started);
    ChildProcess& second = *started;
    AwaitWrites({&first, &second}, 40);

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(60s), 0);
    AwaitWrites({&second}, 40);
    second.Signal(SIGTERM);
    EXPECT_EQ(second.Wait(60s), 0);
    AddWritten(first, written);
    AddWritten(second, written);

    EXPECT_NE(LineStarting(first, "COMPACT 0 ").find("still in use"), std::string::npos)
        << LineStarting(first, "COMPACT ");
    EXPECT_EQ(LineStarting(second, "COMPACT "), "COMPACT 1 ");
    EXPECT_EQ(UnexpectedErrors(first), "");
    EXPECT_EQ(UnexpectedErrors(second), "");
  }
  RecordProperty("refused_starts", refusedStarts);
  ASSERT_TRUE(PassesIntegrityCheck(file));
  const RowCodes rows = ReadRowCodes(file);
  ExpectFetchedRowsWithoutGaps(rows, "both stopped");
  for (const std::string& kbid : written) EXPECT_EQ(rows.count(kbid), 1u) << kbid << " was written and is gone";
  std::filesystem::remove_all(folder);
}

// Lines the process printed before it ended, read to the end.
void ReadToEnd(ChildProcess& process) {
  while (process.ReadLine(200ms)) {
  }
}

// The real file system; just before the compacted copy is renamed into
// place, a second process tries to write a row, and the rename waits a
// while for it to succeed.
class WriterAtRename : public FileSystem {
 public:
  explicit WriterAtRename(std::string file) : file_(std::move(file)) {}
  bool Exists(const std::string& path) override { return DefaultFileSystem().Exists(path); }
  std::string CreateUniqueFile(const std::string& folder, const std::string& prefix) override {
    return DefaultFileSystem().CreateUniqueFile(folder, prefix);
  }
  bool Remove(const std::string& path, std::string& error) override { return DefaultFileSystem().Remove(path, error); }
  bool Rename(const std::string& from, const std::string& to, std::string& error) override {
    writer = std::make_unique<ChildProcess>(std::vector<std::string>{FAULT_CRAWL_PROCESS, file_, "insert", "150000"});
    writer->WaitForLine("ROW ", 2s);
    return DefaultFileSystem().Rename(from, to, error);
  }

  std::unique_ptr<ChildProcess> writer;

 private:
  std::string file_;
};

TEST(SecondInstance, ARowWrittenWhileACompactionPutsItsCopyInPlaceIsKept) {
  const auto folder = MakeTempFolder("rename");
  const auto file = folder / "index.mdb";
  MakeFilledDatabase(file, 300, 500, 50);
  AddFreePages(file, std::filesystem::file_size(file) * 2);  // so a copy is written
  WriterAtRename files(file.string());
  {
    TDatabaseJet session(files);
    std::string error;
    ASSERT_TRUE(session.Open("", "", file.string(), error)) << error;
    EXPECT_TRUE(session.Compact(error));
    EXPECT_EQ(error, "");
  }
  ASSERT_TRUE(files.writer) << "no copy was renamed into place";
  EXPECT_EQ(files.writer->Wait(30s), 0);
  ASSERT_TRUE(PassesIntegrityCheck(file));
  EXPECT_EQ(ReadRowCodes(file).count("150000"), 1u) << "the row written beside the compaction is gone";
  std::filesystem::remove_all(folder);
}

// Both write until they are stopped, up to 20 milliseconds apart, and then
// compact; the rows are checked against what each reported committed.
// Every other round leaves most of the file free, so that a copy is put
// in place rather than pages given back.
TEST(SecondInstance, TwoClosingAtOnceLoseNoCommittedRowAndLeaveTheFileWhole) {
  const auto folder = MakeTempFolder("closing");
  const auto start = folder / "start.mdb";
  const auto file = folder / "index.mdb";
  MakeFilledDatabase(start, 300, 500, 50);
  const RowCodes startRows = ReadRowCodes(start);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(file.string() + suffix);
    std::filesystem::copy_file(start, file);
    const auto size = std::filesystem::file_size(file);
    AddFreePages(file, round % 2 ? size * 2 : size / 10);
    ChildProcess first({FAULT_CRAWL_PROCESS, file.string(), "churn", "200000"});
    ChildProcess second({FAULT_CRAWL_PROCESS, file.string(), "churn", "300000"});
    ASSERT_TRUE(first.WaitForLine("ROW ", 30s));
    ASSERT_TRUE(second.WaitForLine("ROW ", 30s));
    first.Signal(SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(round / 2 % 20));
    second.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(60s), 0);
    EXPECT_EQ(second.Wait(60s), 0);
    ReadToEnd(first);
    ReadToEnd(second);

    std::set<std::string> expected;
    for (const auto& [kbid, code] : startRows) expected.insert(kbid);
    for (const ChildProcess* process : {&first, &second}) {
      for (const std::string& line : process->Lines()) {
        if (line.starts_with("ROW ")) expected.insert(line.substr(4));
        if (line.starts_with("GONE ")) expected.erase(line.substr(5));
      }
    }
    ASSERT_TRUE(PassesIntegrityCheck(file));
    std::set<std::string> stored;
    for (const auto& [kbid, code] : ReadRowCodes(file)) stored.insert(kbid);
    ASSERT_EQ(stored, expected);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace velt::faults
