// Writes the program's icon (about/AppIcon.h) as PNG files in the layout
// of a freedesktop icon theme, for installation beside the launcher:
//
//   write_app_icon <theme folder> <icon name>
//
// makes <theme folder>/<n>x<n>/apps/<icon name>.png for each drawn size.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "about/AppIcon.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <theme folder> <icon name>\n", argv[0]);
    return 2;
  }
  // Drawing needs a GUI application but no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QIcon icon = velt::ApplicationIcon();
  for (const QSize& size : icon.availableSizes()) {
    const QString folder = QStringLiteral("%1/%2x%3/apps").arg(argv[1]).arg(size.width()).arg(size.height());
    const QString file = folder + "/" + argv[2] + ".png";
    if (!QDir().mkpath(folder) || !icon.pixmap(size).save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
