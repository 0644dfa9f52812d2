#include "ui/plot/plot_view.h"

#include "ui/plot/date_ticks.h"
#include "ui/plot/plot_data.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>

namespace quelvaris::ui {
namespace {

// Before the first layout the plot area is unknown; a typical window's width is close enough
// for the first thinning, which the layout then refines.
constexpr qreal kFallbackPlotWidth = 1200;
constexpr qreal kWheelStep = 1.25;

// The picture drawn at each point of a set of marks, at the device's pixel ratio (a screen of
// double density, or twice the size for paper), so that it is drawn unscaled.
QImage MarkImage(const MarkStyle& style, qreal ratio) {
  const int side = std::max(2, static_cast<int>(std::lround(style.size * ratio)));
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintMark(painter, QRectF(0, 0, side, side), style);
  painter.end();
  image.setDevicePixelRatio(side / style.size);
  return image;
}

// The point between two pieces of a line: the toolkit breaks a line at a value that is not a
// number, which keeps a series of many gaps one series.
QPointF Break(const QPointF& next) {
  return {next.x(), std::numeric_limits<qreal>::quiet_NaN()};
}

AxisRange RangeOf(const QAbstractAxis* axis) {
  if (const auto* v = qobject_cast<const QValueAxis*>(axis)) return {v->min(), v->max()};
  if (const auto* l = qobject_cast<const QLogValueAxis*>(axis)) return {l->min(), l->max()};
  return {};
}

// The step of about `intervals` intervals over `span`: 1, 2 or 5 times a power of ten.
double RoundStep(double span, double intervals, double smallest) {
  const double rough = std::max(smallest, span / intervals);
  const double decade = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * decade >= rough) return m * decade;
  }
  return 10 * decade;
}

// Where a value lies along an axis drawn from `from` to `to` (pixels).
class AxisScale {
 public:
  AxisScale(const QAbstractAxis* axis, qreal from, qreal to) : from_(from), to_(to) {
    const AxisRange r = RangeOf(axis);
    log_ = qobject_cast<const QLogValueAxis*>(axis) != nullptr;
    lo_ = log_ ? std::log(r.min) : r.min;
    hi_ = log_ ? std::log(r.max) : r.max;
  }
  bool Valid() const { return hi_ > lo_; }
  // NaN for a value the axis cannot show (zero or below on a log axis).
  qreal At(qreal v) const {
    if (log_) v = v > 0 ? std::log(v) : std::numeric_limits<qreal>::quiet_NaN();
    return from_ + (v - lo_) / (hi_ - lo_) * (to_ - from_);
  }

 private:
  qreal from_, to_, lo_ = 0, hi_ = 0;
  bool log_ = false;
};

}  // namespace

class PlotView::MarkLayer : public QGraphicsItem {
 public:
  explicit MarkLayer(QChart* chart) : QGraphicsItem(chart), chart_(chart) {
    setZValue(1000);  // over every series
  }
  void Add(std::vector<QPointF> points, const MarkStyle& style) {
    sets_.push_back({std::move(points), style, {}});
    update();
  }
  void Changed() {
    prepareGeometryChange();
    update();
  }
  QRectF boundingRect() const override { return chart_->plotArea(); }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    const QRectF area = chart_->plotArea();
    if (sets_.empty() || area.isEmpty() || chart_->axes(Qt::Horizontal).isEmpty() ||
        chart_->axes(Qt::Vertical).isEmpty()) {
      return;
    }
    const AxisScale x(chart_->axes(Qt::Horizontal).front(), area.left(), area.right());
    const AxisScale y(chart_->axes(Qt::Vertical).front(), area.bottom(), area.top());
    if (!x.Valid() || !y.Valid()) return;
    painter->save();
    painter->setClipRect(area);
    // Paper and scaled painters get marks of twice the detail; a screen its own ratio.
    const bool plain = painter->transform().type() <= QTransform::TxTranslate;
    const qreal ratio = plain ? painter->device()->devicePixelRatio() : 2;
    for (Set& set : sets_) {
      const qreal s = set.style.size;
      if (set.image.isNull() || set.image.devicePixelRatio() * s < ratio * s - 0.5 ||
          set.image.devicePixelRatio() * s > ratio * s + 0.5) {
        set.image = MarkImage(set.style, ratio);
      }
      // A mark whose centre lies just outside still shows its part inside.
      const QRectF reach = area.adjusted(-s, -s, s, s);
      for (const QPointF& p : set.points) {
        const QPointF at(x.At(p.x()), y.At(p.y()));
        if (!reach.contains(at)) continue;  // NaN is never contained
        // Whole pixels on screen: an unscaled picture at a whole pixel is a plain copy.
        const QPointF corner = at - QPointF(s / 2, s / 2);
        painter->drawImage(plain ? QPointF(std::round(corner.x()), std::round(corner.y())) : corner,
                           set.image);
      }
    }
    painter->restore();
  }

 private:
  struct Set {
    std::vector<QPointF> points;
    MarkStyle style;
    QImage image;
  };
  QChart* chart_;
  std::vector<Set> sets_;
};

void PaintMark(QPainter& painter, const QRectF& box, const MarkStyle& style) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(style.color);
  const qreal w = box.width();
  const QPointF c = box.center();
  switch (style.shape) {
    case MarkShape::Circle:
      painter.drawEllipse(box);
      break;
    case MarkShape::Square:
      painter.drawRect(box.adjusted(w * 0.1, w * 0.1, -w * 0.1, -w * 0.1));
      break;
    case MarkShape::Triangle:
      painter.drawPolygon(
          QPolygonF({QPointF(c.x(), box.top()), box.bottomRight(), box.bottomLeft()}));
      break;
    case MarkShape::Diamond:
      painter.drawPolygon(QPolygonF({QPointF(c.x(), box.top()), QPointF(box.right(), c.y()),
                                     QPointF(c.x(), box.bottom()), QPointF(box.left(), c.y())}));
      break;
    case MarkShape::Cross: {
      QPen pen(style.color, w * 0.28);
      painter.setPen(pen);
      const qreal d = w * 0.36;
      painter.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
      painter.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
      break;
    }
  }
  painter.restore();
}

PlotView::PlotView(QWidget* parent) : QChartView(new QChart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::RectangleRubberBand);
  // The chart's own legend has one row that cannot wrap: with many models it would show
  // colours without names. A PlotLegend beside the view names every curve instead.
  chart()->legend()->hide();
  chart()->layout()->setContentsMargins(0, 0, 0, 0);
  chart()->setMargins(QMargins(8, 8, 16, 8));
  // Zooming is cheap; animations would redraw every series several times per wheel step.
  chart()->setAnimationOptions(QChart::NoAnimation);
  marks_ = new MarkLayer(chart());
  connect(chart(), &QChart::plotAreaChanged, this, [this] {
    marks_->Changed();
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
  curve.series.push_back(series);
}

void PlotView::AddLine(const QString& name, int column,
                       const std::vector<std::vector<QPointF>>& pieces, const QPen& pen,
                       bool thin_out) {
  PlotCurve curve{name, column, {}, {}, pen, {}};
  std::vector<QPointF> dots;
  std::vector<std::vector<QPointF>> lines;
  for (const auto& piece : pieces) {
    if (piece.size() == 1) {
      dots.push_back(piece.front());
    } else if (!piece.empty()) {
      Include(piece);
      lines.push_back(piece);
    }
  }
  if (!lines.empty()) {
    auto* series = new QLineSeries;
    series->setPen(pen);
    if (thin_out) {
      // Thinned lines get their points in SetAxes, once the visible range is known.
      thinned_.push_back({series, std::move(lines)});
    } else {
      QList<QPointF> joined;
      for (const auto& line : lines) {
        if (!joined.isEmpty()) joined.append(Break(line.front()));
        joined.append(QList<QPointF>(line.begin(), line.end()));
      }
      series->replace(joined);
    }
    AddPiece(curve, series);
  }
  if (!dots.empty()) {
    Include(dots);
    curve.marks = {pen.color(), std::max<qreal>(4, pen.widthF() * 3), MarkShape::Circle};
    AddMarkSet(dots, curve.marks);
    curve.marked = std::move(dots);
  }
  curves_.push_back(std::move(curve));
}

void PlotView::AddMarks(const QString& name, int column, const std::vector<QPointF>& points,
                        const MarkStyle& style) {
  Include(points);
  AddMarkSet(points, style);
  curves_.push_back(PlotCurve{name, column, {}, points, QPen(Qt::NoPen), style});
}

void PlotView::AddMarkSet(const std::vector<QPointF>& points, const MarkStyle& style) {
  marks_->Add(points, style);
}

void PlotView::SetAxes(QAbstractAxis* x, QAbstractAxis* y) {
  chart()->addAxis(x, Qt::AlignBottom);
  chart()->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart()->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  for (QAbstractAxis* axis : {x, y}) {
    if (auto* value_axis = qobject_cast<QValueAxis*>(axis)) {
      connect(value_axis, &QValueAxis::rangeChanged, this, [this] {
        UpdateRoundTicks();
        ScheduleThinning();
        marks_->Changed();
      });
    } else if (auto* log_axis = qobject_cast<QLogValueAxis*>(axis)) {
      connect(log_axis, &QLogValueAxis::rangeChanged, this, [this] { marks_->Changed(); });
    }
  }
  UpdateRoundTicks();
  ThinOut();
}

void PlotView::SetSquarePlotArea(bool square) {
  square_ = square;
  if (square_) base_margins_ = chart()->margins();
  chart()->setMargins(base_margins_);
}

void PlotView::SetWholeNumberTicks(bool whole) {
  whole_ticks_ = whole;
  UpdateRoundTicks();
}

void PlotView::SetDateTicks(bool dates) {
  date_ticks_ = dates;
  UpdateRoundTicks();
}

void PlotView::UpdateRoundTicks() {
  for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
    if (chart()->axes(o).isEmpty()) continue;
    // A category axis keeps the labels it was given; a time axis gets dates for its range.
    if (auto* labelled = qobject_cast<QCategoryAxis*>(chart()->axes(o).front())) {
      if (date_ticks_ && o == Qt::Horizontal) {
        for (const QString& label : labelled->categoriesLabels()) labelled->remove(label);
        labelled->setStartValue(labelled->min());
        // About eight across, as on a value axis; date labels are wider than numbers.
        for (const DateTick& tick : DateTicks(labelled->min(), labelled->max(), 8)) {
          labelled->append(tick.label, tick.at);
        }
      }
      continue;
    }
    auto* axis = qobject_cast<QValueAxis*>(chart()->axes(o).front());
    if (!axis || !(axis->max() > axis->min())) continue;
    const bool whole = whole_ticks_ && o == Qt::Horizontal;
    // About eight intervals across, six up the side; six both ways on a square plot.
    const double step = RoundStep(axis->max() - axis->min(),
                                  o == Qt::Horizontal && !square_ ? 8 : 6, whole ? 1 : 0);
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
  }
}

AxisRange PlotView::XRange() const {
  const auto axes = chart()->axes(Qt::Horizontal);
  return axes.isEmpty() ? AxisRange{} : RangeOf(axes.front());
}

AxisRange PlotView::YRange() const {
  const auto axes = chart()->axes(Qt::Vertical);
  return axes.isEmpty() ? AxisRange{} : RangeOf(axes.front());
}

void PlotView::SetRanges(AxisRange x, AxisRange y) {
  if (!chart()->axes(Qt::Horizontal).isEmpty())
    chart()->axes(Qt::Horizontal).front()->setRange(x.min, x.max);
  if (!chart()->axes(Qt::Vertical).isEmpty())
    chart()->axes(Qt::Vertical).front()->setRange(y.min, y.max);
}

void PlotView::RememberZoom() {
  zoom_history_.emplace_back(XRange(), YRange());
}

void PlotView::StepBack() {
  if (zoom_history_.empty()) {
    ResetZoom();
    return;
  }
  const auto [x, y] = zoom_history_.back();
  zoom_history_.pop_back();
  SetRanges(x, y);
}

void PlotView::ResetZoom() {
  zoom_history_.clear();
  chart()->zoomReset();
}

void PlotView::mousePressEvent(QMouseEvent* event) {
  // The chart view's own right click zooms out by half about the centre, past the data and
  // below zero; here it steps back instead.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void PlotView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    StepBack();
    event->accept();
    return;
  }
  const std::pair before(XRange(), YRange());
  QChartView::mouseReleaseEvent(event);
  if (std::pair(XRange(), YRange()) != before) zoom_history_.push_back(before);
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
    QList<QPointF> kept;
    for (const std::vector<QPointF>& piece : t.pieces) {
      if (piece.back().x() < x_min || piece.front().x() > x_max) continue;  // out of sight
      // Each piece gets buckets in proportion to the part of the plot it covers.
      const qreal from = std::max(x_min, piece.front().x());
      const qreal to = std::min(x_max, piece.back().x());
      const int buckets =
          to > from ? std::max(1, static_cast<int>(std::ceil(width * (to - from) / span))) : 1;
      const std::vector<QPointF> thinned = Decimate(piece, x_min, x_max, buckets);
      if (!kept.isEmpty()) kept.append(Break(thinned.front()));
      kept.append(QList<QPointF>(thinned.begin(), thinned.end()));
    }
    t.series->replace(kept);
  }
}

void PlotView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y();
  if (steps == 0) return;
  const qreal factor = steps > 0 ? kWheelStep : 1 / kWheelStep;
  RememberZoom();
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
