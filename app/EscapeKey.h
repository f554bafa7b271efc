// Whether the user has asked to break off a running search with Escape.
//
// The search runs without the event loop, so key presses made during it
// are not delivered until it ends. The monitor therefore combines two
// sources: an application-wide event filter that notes Escape presses
// made in the watched window and whether the key is still down, and, on
// X11, the keyboard's live state, which shows the key held down during the
// search. EscPressed is true when the key is down now or has been pressed
// since the previous call; it never runs the event loop.
//
// A press that was already seen live is delivered late, right after the
// search it broke off; it must not break off the next search as well, so
// presses arriving shortly after a live sighting are not recorded. Presses
// in other windows (Escape closing a message box) do not count.
//
// Main thread only; create it after the QApplication, destroy it before.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>

#include "app/LiveEscapeKey.h"

class QWidget;

namespace velt {

class EscapeKeyMonitor : public QObject {
 public:
  // `liveKeyDown` reads the key's live state; tests give their own.
  explicit EscapeKeyMonitor(const QWidget& window, std::function<bool()> liveKeyDown = IsEscapeKeyDownNow);
  ~EscapeKeyMonitor() override;

  bool EscPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool LiveKeyDown();

  const QWidget& window_;
  const std::function<bool()> liveKeyDown_;
  bool down_ = false;
  bool pressedSinceQuery_ = false;
  std::chrono::steady_clock::time_point liveSeenAt_{};
  std::chrono::steady_clock::time_point liveAskedAt_{};
  bool liveDown_ = false;
};

}  // namespace velt
