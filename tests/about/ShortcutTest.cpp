#include "about/Shortcut.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Error.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("velt-shortcut-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(ShortcutTest, LauncherStartsTheTargetWithItsArgumentInItsFolder) {
  EXPECT_EQ(DesktopEntryText("/opt/velt/VeltIndexer", "VeltIndexer"),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=VeltIndexer\n"
            "Exec=\"/opt/velt/VeltIndexer\" /starup\nPath=/opt/velt\nTerminal=false\n");
}

TEST_F(ShortcutTest, SpecialCharactersInThePathAreEscaped) {
  const std::string text = DesktopEntryText("/a b/$x\"y`z\\100%/Tool", "Tool");
  EXPECT_NE(text.find("Exec=\"/a b/\\\\$x\\\\\"y\\\\`z\\\\\\\\100%%/Tool\" /starup\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Path=/a b/$x\"y`z\\\\100%\n"), std::string::npos) << text;
}

TEST_F(ShortcutTest, UnknownFolderRaises) {
  EXPECT_THROW(CreateShortcut("/opt/velt/VeltIndexer", "", "VeltIndexer"), Error);
  // A trailing delimiter of the folder is not doubled.
  CreateShortcut("/opt/velt/VeltIndexer", folder_.string() + "/", "VeltIndexer");
  EXPECT_EQ(Read(folder_ / "VeltIndexer.desktop"), DesktopEntryText("/opt/velt/VeltIndexer", "VeltIndexer"));
}

}  // namespace
}  // namespace velt
