#include "about/VersionInfo.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <filesystem>
#include <fstream>

#include "platform/ExecutablePath.h"

namespace velt {
namespace {

const std::string kVersioned = VELT_PROBE_VERSIONED;
const std::string kPlain = VELT_PROBE_PLAIN;

TEST(VersionInfoTest, ReadsTheValuesThatTheBuildEmbedded) {
  EXPECT_EQ(GetVersionString("FileVersion", kVersioned), "0.6.9.15");
  // Blanks and control characters around a value are dropped; quotes stay.
  EXPECT_EQ(GetVersionString("FileDescription", kVersioned), "Probe \"quoted\" description");
  EXPECT_EQ(GetVersionString("CompanyName", kVersioned), "");
  EXPECT_EQ(GetVersionString("fileversion", kVersioned), "");
  // A short version is padded to four parts.
  EXPECT_EQ(GetVersionString("FileVersion", ExecutablePath()), "3.2.0.0");
}

TEST(VersionInfoTest, FilesWithoutBlockGiveEmptyText) {
  EXPECT_EQ(GetVersionString("FileVersion", kPlain), "");
  EXPECT_EQ(GetVersionString("FileVersion", "/nonexistent/VeltIndexer"), "");
  EXPECT_EQ(GetVersionString("FileVersion", std::filesystem::temp_directory_path().string()), "");
}

// Markers made at run time, so this program's own bytes hold no block.
std::string Marker(const char* text) {
  static volatile char start = '\x02';
  std::string marker(text);
  for (char& c : marker) {
    if (c == '#') c = start;
  }
  return marker;
}

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(VersionInfoTest, SkipsBrokenCandidatesAndFindsTheRealBlock) {
  const std::string begin = Marker("#VELT:VERSION:BEGIN\n");
  const std::string end = Marker("VELT:VERSION:END#");
  const std::string noEnd = WriteTemp("velt-noend.bin", "x" + begin + "FileVersion=1.0.0.0\n");
  EXPECT_EQ(GetVersionString("FileVersion", noEnd), "");

  const std::string withZero = begin + std::string("FileVersion=9\0", 14) + end;
  const std::string farEnd = begin + "FileVersion=8\n" + std::string(5000, 'z') + end;
  const std::string good = begin + "FileDescription=Tool\nFileVersion= 1.2.3.4 \n" + end;
  const std::string mixed = WriteTemp("velt-mixed.bin", withZero + farEnd + good + "tail");
  EXPECT_EQ(GetVersionString("FileVersion", mixed), "1.2.3.4");
  EXPECT_EQ(GetVersionString("FileDescription", mixed), "Tool");
  std::filesystem::remove(noEnd);
  std::filesystem::remove(mixed);
}

TEST(VersionInfoTest, CaptionIsTitleVersionAndWindowName) {
  EXPECT_EQ(VersionCaption(kVersioned, "MainForm"), "Veltindexer Ver.0.6.9.15 - MainForm");
  EXPECT_EQ(VersionCaption(kPlain, "MainForm"), "about_probe_plain Ver. - MainForm");
  QWidget window;
  window.setObjectName("InfoForm");
  SetVersionCaption(window);
  EXPECT_EQ(window.windowTitle().toStdString(), "about_tests Ver.3.2.0.0 - InfoForm");
}

}  // namespace
}  // namespace velt
