#include "ui/plot/plot_icon.h"

#include <QPainter>
#include <QPixmap>

namespace quelvaris::ui {

QIcon PlotIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.drawLine(5, 3, 5, 27);
  p.drawLine(5, 27, 29, 27);
  p.setPen(QPen(QColor(20, 20, 20), 2.5));
  const QPointF observed[] = {{6, 20}, {11, 12}, {16, 17}, {21, 7}, {28, 14}};
  p.drawPolyline(observed, 5);
  p.setPen(QPen(QColor(31, 119, 180), 2.5));
  const QPointF modelled[] = {{6, 23}, {11, 16}, {16, 19}, {21, 11}, {28, 18}};
  p.drawPolyline(modelled, 5);
  p.end();
  return QIcon(pixmap);
}

}  // namespace quelvaris::ui
