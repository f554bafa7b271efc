#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velt
