// Compaction where its writes cannot be made: a file system that is full,
// for the copy and for giving back free pages in place, and a folder that
// takes no new file. The original file must stay whole and open again. Each test makes a private mount
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
  // Leaves `room` bytes free beside the file.
  void LeaveRoom(std::uintmax_t room) {
    const auto size = std::filesystem::file_size(file_);
    ASSERT_EQ(::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT, ("size=" + std::to_string(size + room)).c_str()),
              0);
  }

  // A session on the file compacts; the compaction fails for want of room
  // and the session is open again on the file as it was.
  void ExpectCompactionFailsForWantOfRoom() {
    const std::string content = ContentSummary(file_);
    const long long freePages = FreePages(file_);
    TDatabaseJet session;
    std::string error;
    ASSERT_TRUE(session.Open("", "", file_.string(), error)) << error;
    EXPECT_TRUE(session.Compact(error));  // open again, on the original
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_EQ(CompactionCopies(folder_), "");
    session.Close();

    EXPECT_TRUE(PassesIntegrityCheck(file_));
    EXPECT_EQ(ContentSummary(file_), content);
    EXPECT_EQ(FreePages(file_), freePages);
    EXPECT_TRUE(session.Open("", "", file_.string(), error)) << error;
  }

  std::filesystem::path folder_ = MakeTempFolder("space");
  std::filesystem::path file_ = folder_ / "index.mdb";
};

// Most of the file free: it is to be replaced by a copy, for which there
// is no room.
TEST_F(CompactionSpaceTest, AFullDiskForTheCopyLeavesTheOriginalWholeAndOpen) {
  MountSmallFileSystem("64m");
  MakeFilledDatabase(file_, 1400, 2000, 50);
  AddFreePages(file_, std::filesystem::file_size(file_));
  LeaveRoom(std::filesystem::file_size(file_) / 8);
  ExpectCompactionFailsForWantOfRoom();
}

// A tenth of the file free: the pages are to be given back in place, which
// needs some room for the engine's log.
TEST_F(CompactionSpaceTest, AFullDiskForTheReclaimLeavesTheFileWholeAndOpen) {
  MountSmallFileSystem("64m");
  MakeFilledDatabase(file_, 1400, 2000, 50);
  AddFreePages(file_, std::filesystem::file_size(file_) / 10);
  LeaveRoom(64 * 1024);  // enough to read the file, not to move its pages
  ExpectCompactionFailsForWantOfRoom();
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
  AddFreePages(real / "index.mdb", std::filesystem::file_size(real / "index.mdb"));  // a copy is due
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

  EXPECT_EQ(CompactionCopies(real), "");
  EXPECT_TRUE(PassesIntegrityCheck(real / "index.mdb"));
  EXPECT_EQ(ContentSummary(real / "index.mdb"), content);
  EXPECT_TRUE(session.Open("", "", (real / "index.mdb").string(), error)) << error;
}

}  // namespace
}  // namespace velt::faults
