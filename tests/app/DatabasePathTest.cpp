#include <gtest/gtest.h>

#include "app/DatabasePath.h"

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

}  // namespace
}  // namespace velt
