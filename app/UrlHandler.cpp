#include "app/UrlHandler.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace velt {
namespace {

class DesktopHandler : public UrlHandler {
 public:
  bool Open(const std::string& url) override {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
  }
};

}  // namespace

UrlHandler& DesktopUrlHandler() {
  static DesktopHandler handler;
  return handler;
}

}  // namespace velt
