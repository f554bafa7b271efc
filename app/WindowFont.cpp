#include "app/WindowFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace velt {

QFont MainWindowFont() {
  static const QStringList preferred = {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                        QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")};
  const QStringList installed = QFontDatabase::families();
  QFont font;
  for (const QString& family : preferred) {
    if (installed.contains(family, Qt::CaseInsensitive)) {
      font.setFamily(family);
      break;
    }
  }
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(13);
  return font;
}

}  // namespace velt
