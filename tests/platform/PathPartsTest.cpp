#include "platform/PathParts.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(PathPartsTest, SplitsAndJoinsFolderAndName) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"/opt/velt/VeltIndexer.mdb", "/opt/velt", "VeltIndexer.mdb"},
      {"VeltIndexer.mdb", ".", "VeltIndexer.mdb"},
      {"/VeltIndexer.mdb", "/", "VeltIndexer.mdb"},
      {"a.b/c", "a.b", "c"},
      {"/x/", "/x", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FolderOf(c.path), c.folder);
    EXPECT_EQ(FileNameOf(c.path), c.name);
  }
  EXPECT_EQ(PathIn(".", "f"), "./f");
  EXPECT_EQ(PathIn("/", "f"), "/f");
  EXPECT_EQ(PathIn("/opt/velt", "f"), "/opt/velt/f");
}

}  // namespace
}  // namespace velt
