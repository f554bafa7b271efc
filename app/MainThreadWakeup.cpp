#include "app/MainThreadWakeup.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/MainThread.h"

namespace velt {

ScopedMainThreadWakeup::ScopedMainThreadWakeup() {
  QCoreApplication* application = QCoreApplication::instance();
  SetMainThreadWakeup([application] {
    QMetaObject::invokeMethod(application, [] { ServeMainThreadSteps(); }, Qt::QueuedConnection);
  });
}

ScopedMainThreadWakeup::~ScopedMainThreadWakeup() { SetMainThreadWakeup(nullptr); }

}  // namespace velt
