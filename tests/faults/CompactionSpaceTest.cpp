// Compaction where the copy cannot be written: a file system that is full,
// and a folder that takes no new file. The original
// file must stay whole and open again. Each test makes a private mount
// namespace for its own mounts (root only; otherwise it skips).
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "store/DatabaseIO.h"
#include "tests/faults/DatabaseFile.h"

namespace velt::faults {
namespace {

// Copies left in the folder. Only the copy itself counts: the engine's
// small journal of it may stay behind after a failed write.
std::string TemporaryCopies(const std::filesystem::path& folder) {
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("!md") && name.ends_with(".tmp")) names += name + " ";
  }
  return names;
}

class CompactionSpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Mounts made here stay inside this test process.
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      GTEST_SKIP() << "no private mount namespace (needs root)";
  }
  void TearDown() override {
    ::umount2(folder_.c_str(), MNT_DETACH);
    std::filesystem::remove_all(folder_);
  }

  void MountSmallFileSystem(const char* size) {
    ASSERT_EQ(::mount("tmpfs", folder_.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()), 0);
  }

  std::filesystem::path folder_ = MakeTempFolder("space");
  std::filesystem::path file_ = folder_ / "index.mdb";
};

TEST_F(CompactionSpaceTest, AFullDiskLeavesTheOriginalWholeAndOpen) {
  MountSmallFileSystem("64m");
  MakeFilledDatabase(file_, 1400, 2000, 50);
  const std::string content = ContentSummary(file_);
  // Then room for the file but not for a second copy of it.
  const auto size = std::filesystem::file_size(file_);
  ASSERT_EQ(::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT,
                    ("size=" + std::to_string(size + size / 2)).c_str()),
            0);

  TDatabaseJet session;
  std::string error;
  ASSERT_TRUE(session.Open("", "", file_.string(), error)) << error;
  EXPECT_TRUE(session.Compact(error));  // open again, on the original
  EXPECT_NE(error.find("full"), std::string::npos) << error;
  EXPECT_EQ(TemporaryCopies(folder_), "");
  session.Close();

  EXPECT_TRUE(PassesIntegrityCheck(file_));
  EXPECT_EQ(ContentSummary(file_), content);
  EXPECT_TRUE(session.Open("", "", file_.string(), error)) << error;
}

// The folder takes no new file while the database file itself (with its
// log and index) stays writable, as when a user may write the file but
// not its folder. The view of the folder is a read-only bind mount with
// the three files bound into it writable.
TEST_F(CompactionSpaceTest, AFolderThatTakesNoNewFileLeavesTheOriginalWholeAndItOpensAgain) {
  MountSmallFileSystem("64m");
  const auto real = folder_ / "real";
  const auto view = folder_ / "view";
  std::filesystem::create_directories(real);
  std::filesystem::create_directories(view);
  MakeFilledDatabase(real / "index.mdb", 500, 2000, 50);
  const std::string content = ContentSummary(real / "index.mdb");
  ASSERT_EQ(::mount(real.c_str(), view.c_str(), nullptr, MS_BIND, nullptr), 0);
  ASSERT_EQ(::mount(nullptr, view.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
  std::vector<std::filesystem::path> bound;
  for (const char* name : {"index.mdb", "index.mdb-wal", "index.mdb-shm"}) {
    if (!std::filesystem::exists(real / name)) std::ofstream(real / name).flush();
    ASSERT_EQ(::mount((real / name).c_str(), (view / name).c_str(), nullptr, MS_BIND, nullptr), 0) << name;
    bound.push_back(view / name);
  }

  TDatabaseJet session;
  std::string error;
  ASSERT_TRUE(session.Open("", "", (view / "index.mdb").string(), error)) << error;
  EXPECT_TRUE(session.Compact(error));  // open again, on the original
  EXPECT_NE(error.find("temporary file"), std::string::npos) << error;
  EXPECT_TRUE(session.Connected);
  session.Close();
  for (const auto& file : bound) ::umount2(file.c_str(), MNT_DETACH);
  ::umount2(view.c_str(), MNT_DETACH);

  EXPECT_EQ(TemporaryCopies(real), "");
  EXPECT_TRUE(PassesIntegrityCheck(real / "index.mdb"));
  EXPECT_EQ(ContentSummary(real / "index.mdb"), content);
  EXPECT_TRUE(session.Open("", "", (real / "index.mdb").string(), error)) << error;
}

}  // namespace
}  // namespace velt::faults
