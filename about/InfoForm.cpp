#include "about/InfoForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <exception>

#include "about/AppIcon.h"
#include "about/HostOsDescription.h"
#include "about/MessageBox.h"
#include "about/Shell.h"
#include "about/Shortcut.h"
#include "about/VersionInfo.h"
#include "platform/ExecutablePath.h"

namespace velt {
namespace {

const char kCredit[] = "Built with Qt 6 by the VeltIndexer project, 2025";
const char kWebAddress[] = "https://velt.example.org/";
const char kAlias[] = "(velt)";
const char kAliasSearch[] = "https://www.example.org/search?q=velt";
const char kMailAddress[] = "veltindexer@example.org";

const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kGreen(0, 128, 0);

constexpr int kPanelBorder = 10;
constexpr int kRefreshMs = 500;
constexpr int kLineHeight = 16;

void SetColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QFont ArialOf(int pixelHeight) {
  QFont font("Arial");
  font.setPixelSize(pixelHeight);
  return font;
}

}  // namespace

InfoFormEnvironment HostInfoFormEnvironment() {
  return {ExecutablePath(), [] { return GetOsDescription(); }, ReadSystemStatus, &DesktopShell()};
}

std::string MailLink(const std::string& address, const std::string& executableFileName) {
  return "MailTo:" + address + "?subject=from [" + executableFileName + "] user";
}

std::string WithoutFirstVendorName(const std::string& description) {
  std::string text = description;
  const size_t at = text.find("Microsoft ");
  if (at != std::string::npos) text.erase(at, 10);
  return text;
}

void CenterOnWorkArea(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // The work area's own corner counts, so that the window lands on its
  // screen also when a panel sits at the left or top or the screen is not
  // the first one.
  const QRect area = screen->availableGeometry();
  window.move(area.left() + (area.width() - window.width()) / 2, area.top() + (area.height() - window.height()) / 2);
}

TInfoForm::TInfoForm(QWidget* parent, InfoFormEnvironment environment)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      environment_(std::move(environment)) {
  setObjectName("InfoForm");
  setFont(ArialOf(13));
  resize(357, 423);
  CreateControls();
  installEventFilter(this);
  FormCreate();
}

QLabel* TInfoForm::AddLabel(const char* name, int left, int top, const QString& text) {
  auto* label = new QLabel(text, PnlBack);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->move(left, top);
  label->installEventFilter(this);
  return label;
}

QLabel* TInfoForm::AddSection(const char* name, const QString& title, int top, const QColor& colour,
                              std::initializer_list<std::pair<QLabel**, const char*>> lines) {
  QLabel* heading = AddLabel(name, 8, top, title);
  SetColour(heading, colour);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  for (const auto& [slot, lineName] : lines) {
    top += kLineHeight;
    *slot = AddLabel(lineName, 16, top);
    SetColour(*slot, colour);
  }
  return heading;
}

void TInfoForm::MakeLink(QLabel* label, const QColor& colour, std::function<void()> click) {
  SetColour(label, colour);
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  label->setCursor(Qt::PointingHandCursor);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  clicks_[label] = std::move(click);
}

void TInfoForm::CreateControls() {
  PnlBack = new QFrame(this);
  PnlBack->setObjectName("PnlBack");
  PnlBack->setGeometry(8, 8, 329, 401);
  PnlBack->setAutoFillBackground(true);
  QPalette white = PnlBack->palette();
  white.setColor(QPalette::Window, Qt::white);
  PnlBack->setPalette(white);

  AppIcon = AddLabel("AppIcon", 8, 8);
  AppIcon->setFixedSize(32, 32);
  LblFileDescription = AddLabel("LblFileDescription", 56, 8);
  LblExeName = AddLabel("LblExeName", 56, 16);
  LblExeName->setFont(ArialOf(27));
  LblExeName->setCursor(Qt::PointingHandCursor);
  clicks_[LblExeName] = [this] { LblExeNameClick(); };
  LblExeVersion = AddLabel("LblExeVersion", 56, 48);
  lblComment = AddLabel("lblComment", 56, 64, kCredit);
  lblURL = AddLabel("lblURL", 56, 88, kWebAddress);
  MakeLink(lblURL, kNavy, [this] { lblURLClick(); });
  Label1 = AddLabel("Label1", 224, 88, kAlias);
  Label1->setToolTip(kAliasSearch);
  MakeLink(Label1, kNavy, [this] { Label1Click(); });
  lblMail = AddLabel("lblMail", 56, 104, kMailAddress);
  MakeLink(lblMail, kNavy, [this] { lblMailClick(); });

  const auto launch = [this](QLabel* label) {
    MakeLink(label, kMaroon, [this, label] { LblLaunchOnStartupClick(label); });
  };
  const auto open = [this](QLabel* label) {
    MakeLink(label, kMaroon, [this, label] { LblOpenStartupClick(label); });
  };
  LblOpenFolderIn = AddLabel("LblOpenFolderIn", 56, 128, "Open Folder This Program Installed");
  open(LblOpenFolderIn);
  LblLaunchOnDesktop = AddLabel("LblLaunchOnDesktop", 56, 144, "Create Shortcut on \"Desktop\"");
  launch(LblLaunchOnDesktop);

  Label2 = AddSection("Label2", "System Information", 168, kTeal,
                      {{&LblOsVersion, "LblOsVersion"}, {&LblPhys, "LblPhys"}, {&LblPageFile, "LblPageFile"},
                       {&LblVirtual, "LblVirtual"}});

  // Launchers for the session start and the send-to menu stay hidden;
  // their clicks still work for whoever shows them.
  LblLaunchOnStartup = AddLabel("LblLaunchOnStartup", 104, 240, "Create Shortcut into \"Startup\"");
  launch(LblLaunchOnStartup);
  LblOpenStartup = AddLabel("LblOpenStartup", 288, 240, "(Open)");
  open(LblOpenStartup);
  LblLaunchOnSendTo = AddLabel("LblLaunchOnSendTo", 104, 256, "Create Shortcut into \"SendTo\"");
  launch(LblLaunchOnSendTo);
  LblOpenSendTo = AddLabel("LblOpenSendTo", 288, 256, "(Open)");
  open(LblOpenSendTo);
  for (QLabel* label : {LblLaunchOnStartup, LblOpenStartup, LblLaunchOnSendTo, LblOpenSendTo}) label->hide();

  Label3 = AddSection("Label3", "Process Information", 248, kGreen,
                      {{&LblWorkingSetSize, "LblWorkingSetSize"}, {&LblPageFaultCount, "LblPageFaultCount"},
                       {&LblPagefileUsage, "LblPagefileUsage"}, {&LblPagedPoolUsage, "LblPagedPoolUsage"},
                       {&LblNonPagedPoolUsage, "LblNonPagedPoolUsage"}, {&LblProcessTime, "LblProcessTime"}});

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kRefreshMs);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
}

void TInfoForm::FormCreate() {
  const std::string& exe = environment_.executablePath;
  setWindowTitle(QString::fromStdString(VersionCaption(exe, objectName().toStdString())));
  LblFileDescription->setText(QString::fromStdString(GetVersionString("FileDescription", exe)));
  LblExeName->setText(QFileInfo(QString::fromStdString(exe)).fileName());
  const QIcon icon = QApplication::windowIcon().isNull() ? ApplicationIcon() : QApplication::windowIcon();
  AppIcon->setPixmap(icon.pixmap(32, 32));
  UpdateStatus();
  LblOsVersion->setText(QString::fromStdString(WithoutFirstVendorName(environment_.osDescription())));
  LblExeVersion->setText(QString::fromStdString("Ver." + GetVersionString("FileVersion", exe)));
  AutoSize();
  CenterOnWorkArea(*this);
}

// The panel fits its visible labels with its inner border at the right and
// bottom, and the window fits the panel with the same black margin on
// every side.
void TInfoForm::AutoSize() {
  QRect bounds;
  for (QLabel* label : PnlBack->findChildren<QLabel*>()) {
    if (label != AppIcon) label->adjustSize();
    if (!label->isHidden()) bounds |= label->geometry();
  }
  PnlBack->resize(bounds.right() + 1 + kPanelBorder, bounds.bottom() + 1 + kPanelBorder);
  setFixedSize(PnlBack->geometry().right() + 1 + PnlBack->x(), PnlBack->geometry().bottom() + 1 + PnlBack->y());
}

void TInfoForm::UpdateStatus() {
  const std::array<std::string, kStatusLineCount> lines = StatusLines(environment_.readStatus());
  const std::array<QLabel*, kStatusLineCount> labels = {LblPhys,           LblPageFile,       LblVirtual,
                                                        LblWorkingSetSize, LblPageFaultCount, LblPagefileUsage,
                                                        LblPagedPoolUsage, LblNonPagedPoolUsage, LblProcessTime};
  for (size_t i = 0; i < kStatusLineCount; ++i) {
    labels[i]->setText(QString::fromStdString(lines[i]));
    labels[i]->adjustSize();
  }
}

void TInfoForm::Timer1Timer() {
  Timer1->stop();
  UpdateStatus();
  Timer1->start();
}

bool TInfoForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    close();
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const auto click = clicks_.find(watched);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (click != clicks_.end() && mouse->button() == Qt::LeftButton && widget &&
        widget->rect().contains(mouse->position().toPoint())) {
      try {
        click->second();
      } catch (const std::exception& error) {
        ShowMessageBox(error.what(), MbIconStop);
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TInfoForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
}

void TInfoForm::LblExeNameClick() { environment_.shell->ShowFileProperties(environment_.executablePath); }

void TInfoForm::lblURLClick() { environment_.shell->Open(lblURL->text().toStdString()); }

void TInfoForm::Label1Click() { environment_.shell->Open(Label1->toolTip().toStdString()); }

void TInfoForm::lblMailClick() {
  const QString fileName = QFileInfo(QString::fromStdString(environment_.executablePath)).fileName();
  environment_.shell->Open(MailLink(lblMail->text().toStdString(), fileName.toStdString()));
}

void TInfoForm::LblLaunchOnStartupClick(QObject* sender) {
  SpecialFolder folder;
  if (sender == LblLaunchOnStartup) {
    folder = SpecialFolder::Startup;
  } else if (sender == LblLaunchOnDesktop) {
    folder = SpecialFolder::Desktop;
  } else if (sender == LblLaunchOnSendTo) {
    folder = SpecialFolder::SendTo;
  } else {
    return;
  }
  const QFileInfo exe(QString::fromStdString(environment_.executablePath));
  CreateShortcut(environment_.executablePath, environment_.shell->SpecialFolderPath(folder),
                 exe.completeBaseName().toStdString());
}

void TInfoForm::LblOpenStartupClick(QObject* sender) {
  if (sender == LblOpenStartup) {
    environment_.shell->Open(environment_.shell->SpecialFolderPath(SpecialFolder::Startup));
  } else if (sender == LblOpenFolderIn) {
    environment_.shell->Open(QFileInfo(QString::fromStdString(environment_.executablePath)).absolutePath().toStdString() + "/");
  } else if (sender == LblOpenSendTo) {
    environment_.shell->Open(environment_.shell->SpecialFolderPath(SpecialFolder::SendTo));
  }
}

}  // namespace velt
