// A control that draws nothing and reports each of its paints.
//
// The main window uses one to learn when it is first on screen. The paint
// handler may replace or clear itself while it runs. Main thread only.
#pragma once

#include <QWidget>
#include <functional>

namespace velt {

class TPaintBox : public QWidget {
 public:
  using QWidget::QWidget;
  void SetOnPaint(std::function<void()> handler) { onPaint_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!onPaint_) return;
    const std::function<void()> handler = onPaint_;  // survives the handler clearing itself
    handler();
  }

 private:
  std::function<void()> onPaint_;
};

}  // namespace velt
