#include "ui/extended/extended_icon.h"

#include <QPainter>

#include "ui/common/painted_icon.h"

namespace quelvaris::ui {

QIcon ExtendedIcon() {
  return PaintedIcon([](QPainter& p, const QColor& ink) {
    // A small table: a white sheet with a coloured heading row, its rules in the text colour
    // so that the outline stays visible on a dark toolbar.
    p.fillRect(QRectF(4, 4, 24, 24), QColor(255, 255, 255));
    p.fillRect(QRectF(4, 4, 24, 6), QColor(31, 119, 180));
    p.setPen(QPen(ink, 1.5));
    p.drawRect(QRectF(4, 4, 24, 24));
    p.drawLine(QPointF(13, 4), QPointF(13, 28));
    for (double y : {16.0, 22.0}) p.drawLine(QPointF(4, y), QPointF(28, y));
    p.setPen(QPen(QColor(20, 20, 20), 2));
    for (double y : {13.0, 19.0, 25.0}) p.drawLine(QPointF(17, y), QPointF(25, y));
  });
}

}  // namespace quelvaris::ui
