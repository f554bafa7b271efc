#include "app/EscapeKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace velt {
namespace {

using Clock = std::chrono::steady_clock;

// A late delivery of a press seen live arrives within this span.
constexpr auto kLateDelivery = std::chrono::milliseconds(500);
// Each live look is a round trip to the X server; rows come much faster.
constexpr auto kLiveLookInterval = std::chrono::milliseconds(20);

}  // namespace

EscapeKeyMonitor::EscapeKeyMonitor(const QWidget& window, std::function<bool()> liveKeyDown)
    : window_(window), liveKeyDown_(std::move(liveKeyDown)) {
  qApp->installEventFilter(this);
}

EscapeKeyMonitor::~EscapeKeyMonitor() { qApp->removeEventFilter(this); }

bool EscapeKeyMonitor::EscPressed() {
  const bool pressed = pressedSinceQuery_;
  pressedSinceQuery_ = false;
  return LiveKeyDown() || down_ || pressed;
}

bool EscapeKeyMonitor::LiveKeyDown() {
  const Clock::time_point now = Clock::now();
  // A key seen down is asked about again at once: that answer ends a search.
  if (liveDown_ || now - liveAskedAt_ >= kLiveLookInterval) {
    liveAskedAt_ = now;
    liveDown_ = liveKeyDown_();
  }
  if (liveDown_) liveSeenAt_ = now;
  return liveDown_;
}

bool EscapeKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (type == QEvent::KeyRelease) {
      down_ = false;
    } else if (widget && widget->window() == &window_ && Clock::now() - liveSeenAt_ > kLateDelivery) {
      down_ = true;
      pressedSinceQuery_ = true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace velt
