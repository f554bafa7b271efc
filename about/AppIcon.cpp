#include "about/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velt {
namespace {

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);

  // The sheet with a folded corner and lines of text.
  QPainterPath sheet;
  sheet.moveTo(4, 2);
  sheet.lineTo(19, 2);
  sheet.lineTo(25, 8);
  sheet.lineTo(25, 29);
  sheet.lineTo(4, 29);
  sheet.closeSubpath();
  painter.setPen(QPen(QColor(64, 64, 64), 1.2));
  painter.setBrush(Qt::white);
  painter.drawPath(sheet);
  painter.drawLine(QPointF(19, 2), QPointF(19, 8));
  painter.drawLine(QPointF(19, 8), QPointF(25, 8));
  painter.setPen(QPen(QColor(0, 0, 128), 1.5));
  for (int y = 12; y <= 24; y += 4) painter.drawLine(QPointF(7, y), QPointF(y < 20 ? 22 : 14, y));

  // The magnifying glass over the lower right corner.
  painter.setPen(QPen(QColor(128, 0, 0), 3.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(24.5, 24.5), QPointF(30, 30));
  painter.setPen(QPen(QColor(0, 128, 128), 2.5));
  painter.setBrush(QColor(200, 235, 235, 200));
  painter.drawEllipse(QPointF(20, 20), 6, 6);
  return pixmap;
}

}  // namespace

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64}) icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace velt
