// A compaction that writes a copy puts it where the file was, as the file
// was: a private file stays private, and a file reached through a symbolic
// link (kept on another disk, say) is replaced behind the link, which
// stays a link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "store/DatabaseIO.h"
#include "tests/faults/DatabaseFile.h"

namespace velt::faults {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& file) {
  struct stat status {};
  EXPECT_EQ(::stat(file.c_str(), &status), 0);
  return status.st_mode & 07777;
}

TEST(CompactionAccess, TheCopyKeepsTheFilesModeAndTakesItsPlaceBehindALink) {
  struct Case {
    const char* name;
    mode_t mode;
    bool throughLink;
  };
  for (const Case& c : {Case{"private", 0600, false}, Case{"group", 0640, false}, Case{"linked", 0600, true}}) {
    SCOPED_TRACE(c.name);
    const fs::path folder = MakeTempFolder("access");
    const fs::path elsewhere = MakeTempFolder("access-target");
    const fs::path file = (c.throughLink ? elsewhere : folder) / "index.mdb";
    const fs::path path = folder / "index.mdb";
    MakeFilledDatabase(file, 300, 500, 50);
    AddFreePages(file, fs::file_size(file) * 2);  // so a copy is written
    fs::permissions(file, static_cast<fs::perms>(c.mode));
    if (c.throughLink) fs::create_symlink(file, path);
    const std::string content = ContentSummary(file);

    TDatabaseJet session;
    std::string error;
    ASSERT_TRUE(session.Open("", "", path.string(), error)) << error;
    ASSERT_TRUE(session.Compact(error)) << error;
    EXPECT_EQ(error, "");
    session.Close();

    EXPECT_EQ(fs::is_symlink(path), c.throughLink);
    EXPECT_EQ(ModeOf(file), c.mode);
    EXPECT_EQ(FreePages(file), 0) << "the file behind the path is the compacted one";
    EXPECT_EQ(ContentSummary(file), content);
    EXPECT_EQ(CompactionCopies(folder), "");
    EXPECT_EQ(CompactionCopies(elsewhere), "");
    fs::remove_all(folder);
    fs::remove_all(elsewhere);
  }
}

}  // namespace
}  // namespace velt::faults
