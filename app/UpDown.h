// A pair of arrow buttons that steps an integer position within a range.
//
// The position never wraps: stepping past either end stays at the end.
// A bound edit box (the buddy) shows the position and steps it with the
// Up and Down keys. Main thread only, like every widget.
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace velt {

class TUpDown : public QWidget {
 public:
  TUpDown(int minimum, int maximum, QWidget* parent);

  int Position() const { return position_; }
  // Clamps the value into the range; shows it in the buddy.
  void SetPosition(int value);
  // Called after every change of the position, however it came.
  void SetOnChange(std::function<void()> changed) { onChange_ = std::move(changed); }
  void SetBuddy(QLineEdit* buddy);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* MakeArrow(Qt::ArrowType arrow, int step);

  const int minimum_;
  const int maximum_;
  int position_;
  QToolButton* up_;
  QToolButton* down_;
  QLineEdit* buddy_ = nullptr;
  std::function<void()> onChange_;
};

}  // namespace velt
