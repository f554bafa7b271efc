#include <gtest/gtest.h>

#include "about/VersionInfo.h"

namespace velt {
namespace {

// The built program carries its version, so its window caption names it.
TEST(ProgramCaption, NamesTheTitleTheEmbeddedVersionAndTheWindow) {
  EXPECT_EQ(VersionCaption(VELT_PROGRAM_PATH, "MainForm"),
            std::string("Veltindexer Ver.") + VELT_PROGRAM_VERSION + " - MainForm");
}

}  // namespace
}  // namespace velt
