#include "ui/plot/plot_view.h"

#include "ui/plot/plot_data.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>

namespace quelvaris::ui {
namespace {

// Before the first layout the plot area is unknown; a typical window's width is close enough
// for the first thinning, which the layout then refines.
constexpr qreal kFallbackPlotWidth = 1200;
constexpr qreal kWheelStep = 1.25;

}  // namespace

PlotView::PlotView(QWidget* parent) : QChartView(new QChart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::RectangleRubberBand);
  chart()->legend()->setAlignment(Qt::AlignBottom);
  chart()->legend()->setShowToolTips(true);
  chart()->layout()->setContentsMargins(0, 0, 0, 0);
  chart()->setMargins(QMargins(8, 8, 16, 8));
  // Zooming is cheap; animations would redraw every series several times per wheel step.
  chart()->setAnimationOptions(QChart::NoAnimation);
  connect(chart(), &QChart::plotAreaChanged, this, [this] {
    // The chart tells of a new plot area from inside its layout; the square is fitted after it.
    if (square_ && !fit_scheduled_) {
      fit_scheduled_ = true;
      QMetaObject::invokeMethod(
          this,
          [this] {
            fit_scheduled_ = false;
            FitSquare();
          },
          Qt::QueuedConnection);
    }
    ScheduleThinning();
  });
}

void PlotView::Include(const std::vector<QPointF>& points) {
  if (points.empty()) return;
  auto [xlo, xhi] =
      std::minmax_element(points.begin(), points.end(),
                          [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
  auto [ylo, yhi] =
      std::minmax_element(points.begin(), points.end(),
                          [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
  const QRectF r(QPointF(xlo->x(), ylo->y()), QPointF(xhi->x(), yhi->y()));
  if (!has_data_) {
    data_rect_ = r;
    has_data_ = true;
    return;
  }
  // QRectF::united ignores empty rectangles, and a flat series has an empty one: unite by hand.
  const qreal left = std::min(data_rect_.left(), r.left());
  const qreal top = std::min(data_rect_.top(), r.top());
  const qreal right = std::max(data_rect_.right(), r.right());
  const qreal bottom = std::max(data_rect_.bottom(), r.bottom());
  data_rect_ = QRectF(QPointF(left, top), QPointF(right, bottom));
}

void PlotView::AddPiece(PlotCurve& curve, QXYSeries* series) {
  series->setName(curve.name);
  chart()->addSeries(series);
  // One legend entry per curve, however many pieces its gaps split it into.
  if (!curve.pieces.empty()) {
    for (QLegendMarker* marker : chart()->legend()->markers(series)) marker->setVisible(false);
  }
  curve.pieces.push_back(series);
}

void PlotView::AddLine(const QString& name, int column,
                       const std::vector<std::vector<QPointF>>& pieces, const QPen& pen,
                       bool thin_out) {
  PlotCurve curve{name, column, {}};
  std::vector<QPointF> dots;
  for (const auto& piece : pieces) {
    if (piece.size() == 1) {
      dots.push_back(piece.front());
      continue;
    }
    Include(piece);
    auto* series = new QLineSeries;
    series->setPen(pen);
    // Thinned lines get their points in SetAxes, once the visible range is known.
    if (thin_out) {
      thinned_.push_back({series, piece});
    } else {
      series->replace(QList<QPointF>(piece.begin(), piece.end()));
    }
    AddPiece(curve, series);
  }
  if (!dots.empty() || curve.pieces.empty()) {
    Include(dots);
    auto* series = new QScatterSeries;
    series->setMarkerSize(std::max<qreal>(4, pen.widthF() * 3));
    series->setColor(pen.color());
    series->setBorderColor(pen.color());
    series->replace(QList<QPointF>(dots.begin(), dots.end()));
    AddPiece(curve, series);
  }
  curves_.push_back(std::move(curve));
}

void PlotView::AddMarks(const QString& name, int column, const std::vector<QPointF>& points,
                        const QColor& color, qreal size, QScatterSeries::MarkerShape shape) {
  Include(points);
  PlotCurve curve{name, column, {}};
  auto* series = new QScatterSeries;
  series->setMarkerShape(shape);
  series->setMarkerSize(size);
  series->setColor(color);
  // A border per marker doubles the drawing of a dense cloud for no visible gain.
  series->setBorderColor(color);
  series->replace(QList<QPointF>(points.begin(), points.end()));
  AddPiece(curve, series);
  curves_.push_back(std::move(curve));
}

void PlotView::SetAxes(QAbstractAxis* x, QAbstractAxis* y) {
  chart()->addAxis(x, Qt::AlignBottom);
  chart()->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart()->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  if (auto* value_axis = qobject_cast<QValueAxis*>(x)) {
    connect(value_axis, &QValueAxis::rangeChanged, this, [this] {
      UpdateWholeNumberTicks();
      ScheduleThinning();
    });
  }
  UpdateWholeNumberTicks();
  ThinOut();
}

void PlotView::SetSquarePlotArea(bool square) {
  square_ = square;
  if (square_) base_margins_ = chart()->margins();
  chart()->setMargins(base_margins_);
}

void PlotView::SetWholeNumberTicks(bool whole) {
  whole_ticks_ = whole;
  UpdateWholeNumberTicks();
}

void PlotView::UpdateWholeNumberTicks() {
  if (!whole_ticks_ || chart()->axes(Qt::Horizontal).isEmpty()) return;
  auto* axis = qobject_cast<QValueAxis*>(chart()->axes(Qt::Horizontal).front());
  if (!axis) return;
  // About eight intervals of 1, 2 or 5 times a power of ten.
  const double rough = std::max(1.0, (axis->max() - axis->min()) / 8);
  const double decade = std::pow(10.0, std::floor(std::log10(rough)));
  double step = decade;
  for (double m : {2.0, 5.0, 10.0}) {
    if (step >= rough) break;
    step = m * decade;
  }
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(step);
  axis->setLabelFormat(QStringLiteral("%.0f"));
}

void PlotView::ResetZoom() {
  chart()->zoomReset();
}

void PlotView::ScheduleThinning() {
  if (thinning_scheduled_ || thinned_.empty()) return;
  thinning_scheduled_ = true;
  // After the zoom or layout that asked for it has settled, once per burst of changes.
  QTimer::singleShot(0, this, [this] {
    thinning_scheduled_ = false;
    ThinOut();
  });
}

void PlotView::ThinOut() {
  if (thinned_.empty()) return;
  auto* x_axis = chart()->axes(Qt::Horizontal).isEmpty()
                     ? nullptr
                     : qobject_cast<QValueAxis*>(chart()->axes(Qt::Horizontal).front());
  const qreal x_min = x_axis ? x_axis->min() : data_rect_.left();
  const qreal x_max = x_axis ? x_axis->max() : data_rect_.right();
  const qreal span = x_max > x_min ? x_max - x_min : 1;
  const qreal width =
      chart()->plotArea().width() > 1 ? chart()->plotArea().width() : kFallbackPlotWidth;
  for (ThinnedSeries& t : thinned_) {
    // Each piece gets buckets in proportion to the part of the plot it covers.
    const qreal from = std::max(x_min, t.points.front().x());
    const qreal to = std::min(x_max, t.points.back().x());
    const int buckets =
        to > from ? std::max(1, static_cast<int>(std::ceil(width * (to - from) / span))) : 1;
    const std::vector<QPointF> kept = Decimate(t.points, x_min, x_max, buckets);
    if (kept.size() == t.points.size() && t.series->count() == static_cast<int>(kept.size())) {
      continue;  // every point already shown
    }
    t.series->replace(QList<QPointF>(kept.begin(), kept.end()));
  }
}

void PlotView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y();
  if (steps == 0) return;
  const qreal factor = steps > 0 ? kWheelStep : 1 / kWheelStep;
  // Zoom about the pointer: the point under it stays where it is.
  const QRectF area = chart()->plotArea();
  const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
  if (!area.contains(at)) {
    chart()->zoom(factor);
  } else {
    const QPointF top_left = at - (at - area.topLeft()) / factor;
    chart()->zoomIn(QRectF(top_left, area.size() / factor));
  }
  event->accept();
}

void PlotView::resizeEvent(QResizeEvent* event) {
  // A square plot starts again from the chart's own margins at every size; FitSquare then
  // widens them once the chart has laid itself out.
  if (square_) chart()->setMargins(base_margins_);
  QChartView::resizeEvent(event);
}

void PlotView::FitSquare() {
  const QRectF area = chart()->plotArea();
  // The chart keeps axes, labels and the legend in line with its plot area only when it lays
  // them out itself, so the square comes from wider margins, not from a plot area set by hand.
  if (area.width() <= 0 || area.height() <= 0) return;
  const int excess = static_cast<int>((area.width() - area.height()) / 2);
  if (std::abs(excess) < 1) return;
  QMargins margins = chart()->margins();
  if (excess > 0) {
    margins.setLeft(margins.left() + excess);
    margins.setRight(margins.right() + excess);
  } else {
    margins.setTop(margins.top() - excess);
    margins.setBottom(margins.bottom() - excess);
  }
  chart()->setMargins(margins);
}

}  // namespace quelvaris::ui
