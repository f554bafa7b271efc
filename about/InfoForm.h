// The About window (object name "InfoForm").
//
// It shows the executable's name, icon, description and version, a credit
// line, the project's web, alias and mail links, links that open the
// program's folder and put a launcher on the desktop, and a block of
// system and process figures that a 500 ms timer refreshes; a refresh
// never overlaps the next, and the next one falls 500 ms after the end of
// the previous. Any key closes the window. The controls' object names are
// those that the program's other parts and its tests use (LblExeName,
// LblPhys, lblMail, ...); four further link labels (the session-start and
// send-to launchers) exist hidden.
//
// Everything it needs from outside comes through InfoFormEnvironment, so
// tests can give it a fake desktop, fixed figures or another executable.
// The link clicks never raise: an error they meet is shown through
// ShowMessageBox with the stop icon and the window stays open.
//
// Main thread only. Create it with ShowAboutBox (Info.h), which shows it
// modally and destroys it when it closes.
#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <utility>
#include <map>
#include <string>

#include "about/SystemStatus.h"

class QFrame;
class QLabel;
class QTimer;

namespace velt {

class Shell;

struct InfoFormEnvironment {
  std::string executablePath;
  std::function<std::string()> osDescription;
  std::function<SystemStatus()> readStatus;
  Shell* shell = nullptr;
};

// The running program on this desktop.
InfoFormEnvironment HostInfoFormEnvironment();

// "MailTo:<address>?subject=from [<file name>] user", the mail link's target.
std::string MailLink(const std::string& address, const std::string& executableFileName);

// The description without its first "Microsoft " (later ones stay).
std::string WithoutFirstVendorName(const std::string& description);

class TInfoForm : public QDialog {
 public:
  explicit TInfoForm(QWidget* parent, InfoFormEnvironment environment = HostInfoFormEnvironment());

  // Writes the nine memory and process lines from a fresh reading.
  void UpdateStatus();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateControls();
  QLabel* AddLabel(const char* name, int left, int top, const QString& text = {});
  // A bold heading at the left and its lines below it, one per row.
  QLabel* AddSection(const char* name, const QString& title, int top, const QColor& colour,
                     std::initializer_list<std::pair<QLabel**, const char*>> lines);
  void MakeLink(QLabel* label, const QColor& colour, std::function<void()> click);
  void FormCreate();
  void AutoSize();
  void Timer1Timer();
  void LblExeNameClick();
  void lblURLClick();
  void Label1Click();
  void lblMailClick();
  void LblLaunchOnStartupClick(QObject* sender);
  void LblOpenStartupClick(QObject* sender);

  InfoFormEnvironment environment_;
  std::map<QObject*, std::function<void()>> clicks_;
  QFrame* PnlBack = nullptr;
  QTimer* Timer1 = nullptr;
  QLabel* AppIcon = nullptr;
  QLabel* LblFileDescription = nullptr;
  QLabel* LblExeName = nullptr;
  QLabel* LblExeVersion = nullptr;
  QLabel* lblComment = nullptr;
  QLabel* lblURL = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblMail = nullptr;
  QLabel* LblOpenFolderIn = nullptr;
  QLabel* LblLaunchOnDesktop = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* LblOsVersion = nullptr;
  QLabel* LblPhys = nullptr;
  QLabel* LblPageFile = nullptr;
  QLabel* LblVirtual = nullptr;
  QLabel* LblLaunchOnStartup = nullptr;
  QLabel* LblOpenStartup = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* LblLaunchOnSendTo = nullptr;
  QLabel* LblOpenSendTo = nullptr;
  QLabel* LblWorkingSetSize = nullptr;
  QLabel* LblPageFaultCount = nullptr;
  QLabel* LblPagefileUsage = nullptr;
  QLabel* LblPagedPoolUsage = nullptr;
  QLabel* LblNonPagedPoolUsage = nullptr;
  QLabel* LblProcessTime = nullptr;
};

// Places the window in the middle of its screen's work area.
void CenterOnWorkArea(QWidget& window);

}  // namespace velt
