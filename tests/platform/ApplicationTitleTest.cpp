#include "platform/ApplicationTitle.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(ApplicationTitleTest, TakesFileNameUpToFirstDotWithTheRestLowerCase) {
  EXPECT_EQ(ApplicationTitleOf("/opt/velt/VeltIndexer"), "Veltindexer");
  EXPECT_EQ(ApplicationTitleOf("/opt/velt/VeltIndexer.exe"), "Veltindexer");
  EXPECT_EQ(ApplicationTitleOf("/tmp/A.B.exe"), "A");
  EXPECT_EQ(ApplicationTitleOf("veltINDEXER"), "veltindexer");
  // Dots in the folder do not count; only the file name is cut.
  EXPECT_EQ(ApplicationTitleOf("/home/a.b/Tool"), "Tool");
}

TEST(ApplicationTitleTest, LowersNonAsciiLettersAndKeepsAWideFirstCharacter) {
  EXPECT_EQ(ApplicationTitleOf("/x/ÄÖÜ.bin"), "Äöü");
  EXPECT_EQ(ApplicationTitleOf("/x/\U0001D400AB"), "\U0001D400ab");
}

TEST(ApplicationTitleTest, NamesWithoutTitleGiveEmptyText) {
  EXPECT_EQ(ApplicationTitleOf(""), "");
  EXPECT_EQ(ApplicationTitleOf("/x/.hidden"), "");
  EXPECT_EQ(ApplicationTitleOf("/x/"), "");
}

TEST(ApplicationTitleTest, RunningProgramIsTitledAfterItsExecutable) {
  EXPECT_EQ(ApplicationTitle(), "platform_tests");
}

}  // namespace
}  // namespace velt
