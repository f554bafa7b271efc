// Whether the user has asked to break off a running search with Escape,
// or a long step (a search, the start-up) by closing the window, on every
// window system alike.
//
// The search runs inside the Search button's handler. While a Watch lives
// (one search or start-up), each call of EscPressed or CloseRequested
// first lets the window system deliver what it has queued, at most every
// few milliseconds, so a key press made during the search arrives
// whatever the platform: X11, Wayland or offscreen. Meanwhile the monitor
// keeps that delivery from starting anything: every other key, mouse,
// wheel and touch input and every request to close a window is dropped,
// so no second search (and no other handler) runs inside a search; only a
// modal box opened by the step itself gets its input. Crawler
// steps do not run either, as the search holds the database lock
// (platform/MainThread.h).
//
// CloseRequested is true when a request to close the watched window came
// during the Watch; the step that watches ends early and then closes the
// window itself.
//
// EscPressed is true when Escape was pressed in the watched window since
// the Watch began, or is held down there (a key held when Search is
// pressed stops the search after its first row). A press and release made
// before the search began do not count, and a press made during one
// search is not remembered for the next. Presses in other windows
// (Escape closing a message box) do not count.
//
// Main thread only; create it after the QApplication, destroy it before.
#pragma once

#include <QObject>
#include <chrono>

class QWidget;

namespace velt {

class EscapeKeyMonitor : public QObject {
 public:
  explicit EscapeKeyMonitor(const QWidget& window);
  ~EscapeKeyMonitor() override;

  // Watches one search for the life of the object.
  class Watch {
   public:
    explicit Watch(EscapeKeyMonitor& monitor);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

   private:
    EscapeKeyMonitor& monitor_;
  };

  bool EscPressed();
  bool CloseRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool InWatchedWindow(QObject* watched) const;
  void DeliverQueuedEvents();

  const QWidget& window_;
  bool down_ = false;
  bool watching_ = false;
  bool pressedDuringWatch_ = false;
  bool closeDuringWatch_ = false;
  bool delivered_ = false;
  std::chrono::steady_clock::time_point deliveredAt_{};
};

}  // namespace velt
