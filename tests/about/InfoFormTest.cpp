#include "about/InfoForm.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "about/Info.h"
#include "about/MessageBox.h"
#include "about/Shell.h"
#include "about/Shortcut.h"
#include "about/TextFile.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

class FakeShell : public Shell {
 public:
  std::vector<std::string> opened;
  std::vector<std::string> properties;
  std::map<SpecialFolder, std::string> folders;

  void Open(const std::string& target) override { opened.push_back(target); }
  void ShowFileProperties(const std::string& path) override { properties.push_back(path); }
  std::string SpecialFolderPath(SpecialFolder folder) override { return folders[folder]; }
};

class InfoFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = fs::temp_directory_path() / ("velt-desktop-" + std::to_string(getpid()));
    fs::create_directories(desktop_);
    shell_.folders[SpecialFolder::Desktop] = desktop_.string();
  }
  void TearDown() override { fs::remove_all(desktop_); }

  std::unique_ptr<TInfoForm> Open(const std::string& exe, const std::string& os = "Microsoft Windows XP") {
    InfoFormEnvironment environment{exe, [os] { return os; },
                                    [this] {
                                      SystemStatus status;
                                      status.pageFaults = static_cast<uint64_t>(++readings_);
                                      status.totalPhysical = 1048576;
                                      return status;
                                    },
                                    &shell_};
    auto form = std::make_unique<TInfoForm>(nullptr, environment);
    form->show();
    return form;
  }

  static QLabel* Label(QWidget& form, const char* name) {
    auto* label = form.findChild<QLabel*>(name);
    EXPECT_NE(label, nullptr) << name;
    return label;
  }
  static std::string Text(QWidget& form, const char* name) { return Label(form, name)->text().toStdString(); }
  static void Click(QWidget& form, const char* name) { QTest::mouseClick(Label(form, name), Qt::LeftButton); }

  FakeShell shell_;
  fs::path desktop_;
  int readings_ = 0;
};

TEST_F(InfoFormTest, ShowsNameVersionDescriptionAndCaptionOfTheExecutable) {
  auto form = Open(VELT_PROBE_VERSIONED, "Microsoft Windows XP Professional on Microsoft Hardware");
  EXPECT_EQ(form->windowTitle().toStdString(), "Veltindexer Ver.0.6.9.15 - InfoForm");
  EXPECT_EQ(Text(*form, "LblExeName"), "VeltIndexer");
  EXPECT_EQ(Text(*form, "LblExeVersion"), "Ver.0.6.9.15");
  EXPECT_EQ(Text(*form, "LblFileDescription"), "Probe \"quoted\" description");
  EXPECT_EQ(Text(*form, "LblOsVersion"), "Windows XP Professional on Microsoft Hardware");
  EXPECT_EQ(Text(*form, "LblPhys"), "Free Physical Memory:0 KB; Total:1,024 KB");
  EXPECT_EQ(Text(*form, "LblPageFaultCount"), "Page Fault:1");
  EXPECT_EQ(Text(*form, "LblProcessTime"), "Kernel:0:00:00; User:0:00:00; Process:0:00:00");
  EXPECT_FALSE(Label(*form, "AppIcon")->pixmap().isNull());
}

TEST_F(InfoFormTest, WithoutVersionBlockTheVersionIsEmpty) {
  auto form = Open(VELT_PROBE_PLAIN, "Debian");
  EXPECT_EQ(form->windowTitle().toStdString(), "about_probe_plain Ver. - InfoForm");
  EXPECT_EQ(Text(*form, "LblExeVersion"), "Ver.");
  EXPECT_EQ(Text(*form, "LblFileDescription"), "");
  EXPECT_EQ(Text(*form, "LblOsVersion"), "Debian");
}

TEST_F(InfoFormTest, LayoutKeepsBlackMarginsAroundTheFittedPanel) {
  auto form = Open(VELT_PROBE_VERSIONED);
  auto* panel = form->findChild<QFrame*>("PnlBack");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->pos(), QPoint(8, 8));
  EXPECT_EQ(form->width(), panel->width() + 16);
  EXPECT_EQ(form->height(), panel->height() + 16);
  EXPECT_EQ(Label(*form, "LblProcessTime")->geometry().bottom() + 1 + 10, panel->height());
  EXPECT_EQ(Label(*form, "LblPhys")->pos(), QPoint(16, 200));
  for (const char* hidden : {"LblLaunchOnStartup", "LblOpenStartup", "LblLaunchOnSendTo", "LblOpenSendTo"}) {
    EXPECT_FALSE(Label(*form, hidden)->isVisible()) << hidden;
  }
  EXPECT_EQ(Label(*form, "lblURL")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_TRUE(Label(*form, "lblURL")->font().underline());
  EXPECT_EQ(Label(*form, "LblExeName")->font().pixelSize(), 27);
  EXPECT_TRUE(Label(*form, "Label3")->font().bold());
  const QImage image = form->grab().toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(10, form->height() - 12), QColor(Qt::white));
}

TEST_F(InfoFormTest, AnyKeyClosesTheWindow) {
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Escape, Qt::Key_Shift, Qt::Key_A}) {
    auto form = Open(VELT_PROBE_VERSIONED);
    ASSERT_TRUE(form->isVisible());
    QTest::keyClick(form.get(), key);
    EXPECT_FALSE(form->isVisible()) << key;
  }
}

TEST_F(InfoFormTest, TimerRefreshesTheFiguresEveryHalfSecond) {
  auto form = Open(VELT_PROBE_VERSIONED);
  EXPECT_EQ(readings_, 1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return readings_ >= 2; }, 5000));
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(QTest::qWaitFor([this] { return readings_ >= 3; }, 5000));
  // The next refresh comes about 500 ms after the previous one (the GUI
  // timer may fire up to 5% early).
  EXPECT_GE(clock.elapsed(), 450);
  EXPECT_EQ(Text(*form, "LblPageFaultCount"), "Page Fault:" + std::to_string(readings_));
}

TEST_F(InfoFormTest, LinksHandTheirTargetsToTheDesktop) {
  auto form = Open(VELT_PROBE_VERSIONED);
  Click(*form, "lblMail");
  Click(*form, "lblURL");
  Click(*form, "Label1");
  Click(*form, "LblOpenFolderIn");
  Click(*form, "LblOpenStartup");
  Click(*form, "Label2");
  Click(*form, "LblExeName");
  const std::string folder = fs::path(VELT_PROBE_VERSIONED).parent_path().string();
  ASSERT_EQ(shell_.opened.size(), 5u);
  EXPECT_EQ(shell_.opened[0], "MailTo:" + Text(*form, "lblMail") + "?subject=from [VeltIndexer] user");
  EXPECT_EQ(shell_.opened[1], Text(*form, "lblURL"));
  EXPECT_EQ(shell_.opened[2], Label(*form, "Label1")->toolTip().toStdString());
  EXPECT_EQ(shell_.opened[3], folder + "/");
  EXPECT_EQ(shell_.opened[4], "");
  EXPECT_EQ(shell_.properties, std::vector<std::string>{VELT_PROBE_VERSIONED});
  EXPECT_EQ(MailLink("a@b.example", "Veltindexer.exe"), "MailTo:a@b.example?subject=from [Veltindexer.exe] user");
}

TEST_F(InfoFormTest, DesktopShortcutIsWrittenAndRewritten) {
  auto form = Open(VELT_PROBE_VERSIONED);
  const fs::path link = desktop_ / "VeltIndexer.desktop";
  Click(*form, "LblLaunchOnDesktop");
  ASSERT_TRUE(fs::exists(link));
  fs::resize_file(link, 0);
  Click(*form, "LblLaunchOnDesktop");
  EXPECT_EQ(ReadTextFile(link.string()), DesktopEntryText(VELT_PROBE_VERSIONED, "VeltIndexer"));
  EXPECT_NE(fs::status(link).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop_), fs::directory_iterator()), 1);
}

TEST_F(InfoFormTest, FailedShortcutIsReportedAndTheWindowStaysOpen) {
  auto form = Open(VELT_PROBE_VERSIONED);
  shell_.folders[SpecialFolder::Desktop] = (desktop_ / "missing").string();
  MessageBoxRecorder recorder;
  Click(*form, "LblLaunchOnDesktop");
  ASSERT_EQ(recorder.Requests().size(), 1u);
  EXPECT_NE(recorder.Requests()[0].text.find("missing/VeltIndexer.desktop"), std::string::npos);
  EXPECT_EQ(recorder.Requests()[0].flags & 0xF0, MbIconStop);
  EXPECT_TRUE(form->isVisible());
}

TEST(ShowAboutBoxTest, ShowsTheWindowModallyUntilAKeyIsPressed) {
  QString caption;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != "InfoForm") return;
    caption = modal->windowTitle();
    QTest::keyClick(modal, Qt::Key_Space);
  });
  ShowAboutBox();
  EXPECT_EQ(caption.toStdString(), "about_tests Ver.3.2.0.0 - InfoForm");
  EXPECT_EQ(QApplication::topLevelWidgets().count(), 0) << "the window was not destroyed";
}

TEST(InfoTextTest, OnlyTheFirstVendorNameIsRemoved) {
  EXPECT_EQ(WithoutFirstVendorName("Microsoft Windows XP Microsoft "), "Windows XP Microsoft ");
  EXPECT_EQ(WithoutFirstVendorName("Debian GNU/Linux 12"), "Debian GNU/Linux 12");
  EXPECT_EQ(WithoutFirstVendorName("microsoft Windows"), "microsoft Windows");
}

}  // namespace
}  // namespace velt
