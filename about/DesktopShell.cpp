#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include "about/Shell.h"

#ifdef VELT_HAVE_QT_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#endif

namespace velt {
namespace {

class Desktop : public Shell {
 public:
  void Open(const std::string& target) override {
    const QString text = QString::fromStdString(target);
    // Absolute paths are files or folders; anything else is an address
    // with its scheme (http:, mailto: ...). Tolerant parsing takes the
    // blanks of a mail subject as they are.
    const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
    if (url.isValid() && !url.isEmpty()) QDesktopServices::openUrl(url);
  }

  void ShowFileProperties([[maybe_unused]] const std::string& path) override {
#ifdef VELT_HAVE_QT_DBUS
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        "ShowItemProperties");
    call << QStringList{QUrl::fromLocalFile(QString::fromStdString(path)).toString()} << QString();
    // Sent without waiting: a desktop without such a file manager answers
    // with an error nobody needs to see.
    QDBusConnection::sessionBus().send(call);
#endif
  }

  std::string SpecialFolderPath(SpecialFolder folder) override {
    switch (folder) {
      case SpecialFolder::Desktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
      case SpecialFolder::Startup:
        return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart").toStdString();
      case SpecialFolder::SendTo:
        break;
    }
    return {};
  }
};

}  // namespace

Shell& DesktopShell() {
  static Desktop desktop;
  return desktop;
}

}  // namespace velt
