#include "app/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace velt {

TUpDown::TUpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), position_(minimum) {
  up_ = MakeArrow(Qt::UpArrow, 1);
  down_ = MakeArrow(Qt::DownArrow, -1);
}

QToolButton* TUpDown::MakeArrow(Qt::ArrowType arrow, int step) {
  auto* button = new QToolButton(this);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QToolButton::clicked, this, [this, step] { SetPosition(position_ + step); });
  return button;
}

void TUpDown::SetPosition(int value) {
  const int previous = position_;
  position_ = std::clamp(value, minimum_, maximum_);
  if (buddy_) buddy_->setText(QString::number(position_));
  if (position_ != previous && onChange_) onChange_();
}

void TUpDown::SetBuddy(QLineEdit* buddy) {
  buddy_ = buddy;
  buddy_->installEventFilter(this);
  SetPosition(position_);
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      SetPosition(position_ + (key == Qt::Key_Up ? 1 : -1));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace velt
