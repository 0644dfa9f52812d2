#include "ui/plot/plot_icon.h"

#include <QPainter>

#include "ui/common/painted_icon.h"

namespace quelvaris::ui {

QIcon PlotIcon() {
  return PaintedIcon([](QPainter& p, const QColor& ink) {
    // Axes and the observed series in the text colour, the model in the plots' first colour.
    p.setPen(QPen(ink, 2));
    p.drawLine(QPointF(5, 3), QPointF(5, 27));
    p.drawLine(QPointF(5, 27), QPointF(29, 27));
    p.setPen(QPen(ink, 2.5));
    const QPointF observed[] = {{6, 20}, {11, 12}, {16, 17}, {21, 7}, {28, 14}};
    p.drawPolyline(observed, 5);
    p.setPen(QPen(QColor(31, 119, 180), 2.5));
    const QPointF modelled[] = {{6, 23}, {11, 16}, {16, 19}, {21, 11}, {28, 18}};
    p.drawPolyline(modelled, 5);
  });
}

}  // namespace quelvaris::ui
