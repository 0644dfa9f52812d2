#include "ui/main/toolbar_icons.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>

#include "ui/common/painted_icon.h"

namespace quelvaris::ui {
namespace {

void DrawReset(QPainter& p) {
  // An arrow curling back to where it started.
  p.setPen(QPen(QColor(0x1f, 0x6f, 0xb5), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(7, 7, 18, 18), 100 * 16, 290 * 16);
  QPainterPath head;
  head.moveTo(11, 2);
  head.lineTo(19, 7.5);
  head.lineTo(11, 13);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x6f, 0xb5));
  p.drawPath(head);
}

void DrawCalculate(QPainter& p, const QColor& ink) {
  // A pocket calculator: a display and a keypad.
  p.setPen(QPen(ink, 1.5));
  p.setBrush(QColor(0xe8, 0xe8, 0xe8));
  p.drawRoundedRect(QRectF(6, 2, 20, 28), 3, 3);
  p.setBrush(QColor(0x9c, 0xd0, 0x8c));
  p.drawRect(QRectF(9, 5, 14, 6));
  p.setPen(Qt::NoPen);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      p.setBrush(col == 2 && row == 2 ? QColor(0xd0, 0x50, 0x30) : QColor(0x50, 0x50, 0x50));
      p.drawRect(QRectF(9 + col * 5, 14 + row * 5, 3.5, 3.5));
    }
  }
}

void DrawSettings(QPainter& p, const QColor& ink) {
  // A cog wheel in the text colour, its hole open to the window behind it.
  const QPointF c(16, 16);
  QPainterPath cog;
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4;
    QPainterPath tooth;
    QTransform t;
    t.translate(c.x(), c.y());
    t.rotateRadians(a);
    tooth.addRect(QRectF(-3, -14, 6, 6));
    cog.addPath(t.map(tooth));
  }
  cog.addEllipse(c, 10, 10);
  QPainterPath hole;
  hole.addEllipse(c, 4, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.setOpacity(0.8);
  p.drawPath(cog.simplified().subtracted(hole));
  p.setOpacity(1);
}

void DrawExit(QPainter& p) {
  // A door with an arrow leaving through it.
  p.setPen(QPen(QColor(0x70, 0x45, 0x20), 2));
  p.setBrush(QColor(0xc8, 0x8a, 0x4a));
  p.drawRect(QRectF(4, 3, 14, 26));
  p.setPen(QPen(QColor(0xb0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(13, 16), QPointF(28, 16));
  p.drawLine(QPointF(23, 11), QPointF(28, 16));
  p.drawLine(QPointF(23, 21), QPointF(28, 16));
}

void DrawBack(QPainter& p) {
  QPainterPath arrow;
  arrow.moveTo(3, 16);
  arrow.lineTo(15, 5);
  arrow.lineTo(15, 11);
  arrow.lineTo(29, 11);
  arrow.lineTo(29, 21);
  arrow.lineTo(15, 21);
  arrow.lineTo(15, 27);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(0x1a, 0x55, 0x20), 1.5));
  p.setBrush(QColor(0x3c, 0xa0, 0x46));
  p.drawPath(arrow);
}

void DrawPrint(QPainter& p, const QColor& ink) {
  p.setPen(QPen(ink, 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 3, 14, 10));  // paper going in
  p.setBrush(QColor(0x70, 0x78, 0x80));
  p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);  // the printer
  p.setBrush(Qt::white);
  p.drawRect(QRectF(8, 19, 16, 10));  // the printed page
  p.drawLine(QPointF(11, 23), QPointF(21, 23));
  p.drawLine(QPointF(11, 26), QPointF(19, 26));
}

}  // namespace

QIcon ToolbarIcon(ToolbarGlyph glyph) {
  return PaintedIcon([glyph](QPainter& painter, const QColor& ink) {
    switch (glyph) {
      case ToolbarGlyph::Reset:
        DrawReset(painter);
        break;
      case ToolbarGlyph::Calculate:
        DrawCalculate(painter, ink);
        break;
      case ToolbarGlyph::Settings:
        DrawSettings(painter, ink);
        break;
      case ToolbarGlyph::Exit:
        DrawExit(painter);
        break;
      case ToolbarGlyph::Back:
        DrawBack(painter);
        break;
      case ToolbarGlyph::Print:
        DrawPrint(painter, ink);
        break;
    }
  });
}

}  // namespace quelvaris::ui
