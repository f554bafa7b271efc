#include "about/Info.h"

#include <QApplication>
#include <QDialog>

#include "about/VersionInfo.h"

namespace velt {

void ShowAboutBox() {
  QDialog form(QApplication::activeWindow());
  form.setObjectName("InfoForm");
  SetVersionCaption(form);
  form.exec();
}

}  // namespace velt
