#include "ui/splash/splash_picture.h"

#include <cmath>
#include <vector>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quelvaris::ui {
namespace {

// A storm hydrograph: a base flow and three storms, each a quick rise and an exponential
// recession. t runs from 0 to 1.
double ObservedFlow(double t) {
  struct Storm {
    double start, peak, rise, recession;
  };
  static const Storm kStorms[] = {
      {0.10, 0.55, 0.03, 0.06}, {0.38, 0.95, 0.025, 0.08}, {0.70, 0.40, 0.04, 0.07}};
  double q = 0.08 + 0.02 * std::sin(9.0 * t);
  for (const Storm& s : kStorms) {
    const double dt = t - s.start;
    if (dt < 0) continue;
    q += dt < s.rise ? s.peak * dt / s.rise : s.peak * std::exp(-(dt - s.rise) / s.recession);
  }
  return q;
}

// A model that is a little late and a little low at the peaks, as models are.
double ModelledFlow(double t) {
  return 0.9 * ObservedFlow(t - 0.012) + 0.015;
}

void DrawLandscape(QPainter& p, const QRectF& r) {
  QLinearGradient sky(r.topLeft(), r.bottomLeft());
  sky.setColorAt(0.0, QColor(28, 42, 92));
  sky.setColorAt(0.55, QColor(110, 120, 170));
  sky.setColorAt(0.78, QColor(236, 170, 120));
  p.fillRect(r, sky);

  const double w = r.width();
  const double h = r.height();
  auto ridge = [&](double base, double amplitude, double phase, const QColor& colour) {
    QPainterPath path(QPointF(0, h));
    for (int i = 0; i <= 64; ++i) {
      const double x = w * i / 64.0;
      const double y = base + amplitude * (0.6 * std::sin(x / w * 7.0 + phase) +
                                           0.4 * std::sin(x / w * 13.0 + 2 * phase));
      path.lineTo(x, y);
    }
    path.lineTo(w, h);
    path.closeSubpath();
    p.fillPath(path, colour);
  };
  ridge(h * 0.66, h * 0.05, 0.4, QColor(74, 82, 128));
  ridge(h * 0.72, h * 0.06, 2.1, QColor(52, 78, 86));
  ridge(h * 0.80, h * 0.04, 4.0, QColor(44, 92, 60));

  // The river winds from the far hills to the front edge, widening as it comes.
  QPainterPath river;
  const int steps = 40;
  std::vector<QPointF> left, right;
  for (int i = 0; i <= steps; ++i) {
    const double f = double(i) / steps;
    const double y = h * (0.76 + 0.24 * f);
    const double x = w * (0.48 + 0.16 * std::sin(f * 5.5) * f);
    const double half = 2.0 + 28.0 * f * f;
    left.emplace_back(x - half, y);
    right.emplace_back(x + half, y);
  }
  river.moveTo(left.front());
  for (const QPointF& pt : left) river.lineTo(pt);
  for (auto it = right.rbegin(); it != right.rend(); ++it) river.lineTo(*it);
  river.closeSubpath();
  QLinearGradient water(QPointF(0, h * 0.76), QPointF(0, h));
  water.setColorAt(0.0, QColor(230, 190, 160));
  water.setColorAt(1.0, QColor(70, 120, 170));
  p.fillPath(river, water);
}

void DrawHydrograph(QPainter& p, const QRectF& area) {
  p.setPen(QPen(QColor(255, 255, 255, 120), 1));
  p.drawLine(area.bottomLeft(), area.bottomRight());
  p.drawLine(area.bottomLeft(), area.topLeft());

  auto at = [&](double t, double q) {
    return QPointF(area.left() + t * area.width(), area.bottom() - q / 1.1 * area.height());
  };
  QPainterPath modelled;
  const int n = 160;
  for (int i = 0; i <= n; ++i) {
    const double t = double(i) / n;
    i == 0 ? modelled.moveTo(at(t, ModelledFlow(t))) : modelled.lineTo(at(t, ModelledFlow(t)));
  }
  p.setPen(QPen(QColor(255, 196, 64), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(modelled);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 230));
  for (int i = 0; i <= 64; ++i) {
    const double t = double(i) / 64;
    p.drawEllipse(at(t, ObservedFlow(t)), 2.2, 2.2);
  }
}

}  // namespace

QPixmap DrawSplashPicture(QSize size) {
  QPixmap picture(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(QPointF(0, 0), QSizeF(size));
  DrawLandscape(p, r);
  DrawHydrograph(p,
                 QRectF(r.width() * 0.06, r.height() * 0.08, r.width() * 0.88, r.height() * 0.50));
  return picture;
}

}  // namespace quelvaris::ui
