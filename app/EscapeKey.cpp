#include "app/EscapeKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace velt {
namespace {

using Clock = std::chrono::steady_clock;

// Rows come much faster than a person presses keys; each delivery costs a
// look at the window system's connection.
constexpr auto kDeliveryInterval = std::chrono::milliseconds(10);

bool IsEscape(const QEvent* event) {
  return (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
         static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

bool IsUserInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// Whether the event goes to the modal box that is open now (the start-up's
// fatal notice), which must stay usable while a step is watched.
bool ForOpenModalBox(QObject* watched) {
  const QWidget* box = QApplication::activeModalWidget();
  if (!box) return false;
  if (const auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == box;
  return watched == box->windowHandle();
}

}  // namespace

EscapeKeyMonitor::EscapeKeyMonitor(const QWidget& window) : window_(window) { qApp->installEventFilter(this); }

EscapeKeyMonitor::~EscapeKeyMonitor() { qApp->removeEventFilter(this); }

EscapeKeyMonitor::Watch::Watch(EscapeKeyMonitor& monitor) : monitor_(monitor) {
  monitor_.watching_ = true;
  monitor_.pressedDuringWatch_ = false;
  monitor_.closeDuringWatch_ = false;
  monitor_.delivered_ = false;
}

EscapeKeyMonitor::Watch::~Watch() { monitor_.watching_ = false; }

void EscapeKeyMonitor::DeliverQueuedEvents() {
  const Clock::time_point now = Clock::now();
  if (watching_ && (!delivered_ || now - deliveredAt_ >= kDeliveryInterval)) {
    delivered_ = true;
    deliveredAt_ = now;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

bool EscapeKeyMonitor::EscPressed() {
  DeliverQueuedEvents();
  return pressedDuringWatch_ || down_;
}

bool EscapeKeyMonitor::CloseRequested() {
  DeliverQueuedEvents();
  return closeDuringWatch_;
}

bool EscapeKeyMonitor::InWatchedWindow(QObject* watched) const {
  auto* widget = qobject_cast<QWidget*>(watched);
  return widget && widget->window() == &window_;
}

bool EscapeKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
  if (IsEscape(event)) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (event->type() == QEvent::KeyRelease) {
      if (!key->isAutoRepeat()) down_ = false;
    } else if (InWatchedWindow(watched)) {
      down_ = true;
      pressedDuringWatch_ = pressedDuringWatch_ || watching_;
    }
  } else if (event->type() == QEvent::WindowDeactivate && watched == &window_) {
    down_ = false;  // its release goes to another window
  }
  if (watching_ && IsUserInput(event) && !ForOpenModalBox(watched)) {
    // The window system asks its window (QWindow) first, then the widget.
    if (event->type() == QEvent::Close && (watched == &window_ || watched == window_.windowHandle())) {
      closeDuringWatch_ = true;
    }
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace velt
