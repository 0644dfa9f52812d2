#include "ui/extended/extended_icon.h"

#include <QPainter>
#include <QPixmap>

namespace quelvaris::ui {

QIcon ExtendedIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(4, 4, 24, 24), QColor(255, 255, 255));
  p.fillRect(QRectF(4, 4, 24, 6), QColor(31, 119, 180));  // the heading row
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.drawRect(QRectF(4, 4, 24, 24));
  p.drawLine(QPointF(13, 4), QPointF(13, 28));
  for (double y : {16.0, 22.0}) p.drawLine(QPointF(4, y), QPointF(28, y));
  p.setPen(QPen(QColor(20, 20, 20), 2));
  for (double y : {13.0, 19.0, 25.0}) p.drawLine(QPointF(17, y), QPointF(25, y));
  p.end();
  return QIcon(pixmap);
}

}  // namespace quelvaris::ui
