#include "about/Info.h"

#include <QApplication>

#include "about/InfoForm.h"

namespace velt {

void ShowAboutBox() {
  // On the stack, so it is destroyed when it closes and also when showing
  // it raises.
  TInfoForm form(QApplication::activeWindow());
  form.exec();
}

}  // namespace velt
