// Shows the About window on the current display and saves a picture of it
// for the documentation: about-screenshot <file.png>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "about/InfoForm.h"
#include "platform/MainThread.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
    return 2;
  }
  velt::SetMainThread();
  QApplication app(argc, argv);
  velt::TInfoForm form(nullptr);
  form.show();
  int status = 1;
  // Past the first refresh, so the picture shows live figures.
  QTimer::singleShot(800, [&] {
    status = form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    app.quit();
  });
  app.exec();
  if (status != 0) std::fprintf(stderr, "cannot save %s\n", argv[1]);
  return status;
}
