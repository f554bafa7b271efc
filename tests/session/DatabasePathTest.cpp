#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>

#include "session/DatabasePath.h"
#include "platform/UserDataFolder.h"

namespace velt {
namespace {

TEST(DatabasePath, ReplacesTheLastExtensionOfTheFileNameOnly) {
  EXPECT_EQ(DatabasePathForExecutable("/opt/velt/VeltIndexer"), "/opt/velt/VeltIndexer.mdb");
  EXPECT_EQ(DatabasePathForExecutable("/opt/velt/A.B"), "/opt/velt/A.mdb");
  EXPECT_EQ(DatabasePathForExecutable("/opt/velt/A.B.exe"), "/opt/velt/A.B.mdb");
  EXPECT_EQ(DatabasePathForExecutable("/opt/v1.2/VeltIndexer"), "/opt/v1.2/VeltIndexer.mdb");
  EXPECT_EQ(DatabasePathForExecutable("/opt/v1.2/Tool.bin"), "/opt/v1.2/Tool.mdb");
  EXPECT_EQ(DatabasePathForExecutable("Tool"), "Tool.mdb");
  EXPECT_EQ(DatabasePathForExecutable("Tool.x"), "Tool.mdb");
}

TEST(DatabasePath, FallsBackToTheTitledDataFolderOnlyWhenTheExecutablesFolderIsReadOnly) {
  struct Case {
    const char* executable;
    bool writable;
    const char* expected;
  } cases[] = {
      {"/opt/velt/VeltIndexer", true, "/opt/velt/VeltIndexer.mdb"},
      {"/usr/bin/VeltIndexer", false, "/home/u/.local/share/Veltindexer/VeltIndexer.mdb"},
      {"/usr/bin/Velt.Indexer.bin", false, "/home/u/.local/share/Velt/Velt.Indexer.mdb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseDatabasePath(c.executable, c.writable, "/home/u/.local/share"), c.expected) << c.executable;
  }
}

TEST(DatabasePath, DataFolderFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(UserDataHomeFrom("/data", "/home/u"), "/data");
  EXPECT_EQ(UserDataHomeFrom(nullptr, "/home/u"), "/home/u/.local/share");
  EXPECT_EQ(UserDataHomeFrom("", "/home/u"), "/home/u/.local/share");
  EXPECT_EQ(UserDataHomeFrom("relative/data", "/home/u"), "/home/u/.local/share");
}

TEST(DatabasePath, DataFoldersMadeForTheFileArePrivateAndOthersKeepTheirMode) {
  QTemporaryDir home;
  const std::string existing = home.path().toStdString() + "/share";
  ASSERT_EQ(::mkdir(existing.c_str(), 0755), 0);
  ASSERT_TRUE(MakeUserFolder(existing + "/data/VeltIndexer"));
  const auto mode = [](const std::string& folder) {
    struct stat status {};
    EXPECT_EQ(::stat(folder.c_str(), &status), 0);
    return status.st_mode & 0777;
  };
  EXPECT_EQ(mode(existing), 0755u);
  EXPECT_EQ(mode(existing + "/data"), 0700u);
  EXPECT_EQ(mode(existing + "/data/VeltIndexer"), 0700u);
}

}  // namespace
}  // namespace velt
