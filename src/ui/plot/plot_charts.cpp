#include "ui/plot/plot_charts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QChart>
#include <QLogValueAxis>
#include <QValueAxis>

#include "ui/plot/plot_data.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::ui {
namespace {

constexpr qreal kLineWidth = 1.2;
constexpr qreal kHighlightWidth = 2.4;

QPen SeriesPen(int column, int highlighted) {
  QPen pen(SeriesColor(column));
  pen.setWidthF(column == highlighted || column == 1 ? kHighlightWidth : kLineWidth);
  if (column != 1 && highlighted != 0 && column != highlighted) {
    // The other models stay visible but step back behind the one being looked at.
    QColor faded = pen.color();
    faded.setAlphaF(0.45f);
    pen.setColor(faded);
  }
  return pen;
}

QPen GuidePen(const QColor& color) {
  QPen pen(color);
  pen.setWidthF(1.2);
  pen.setStyle(Qt::DashLine);
  return pen;
}

// The modelled columns in drawing order: the highlighted one last, so it lies on top.
std::vector<int> DrawingOrder(const PlotData& data, int highlighted) {
  std::vector<int> order;
  for (int c : data.columns) {
    if (c != 1 && c != highlighted) order.push_back(c);
  }
  if (std::find(data.columns.begin(), data.columns.end(), highlighted) != data.columns.end() &&
      highlighted != 1) {
    order.push_back(highlighted);
  }
  return order;
}

QValueAxis* ValueAxis(const QString& title, qreal lo, qreal hi, bool nice) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  if (!(hi > lo)) {
    // A flat or empty series still needs a visible band around it.
    const qreal pad = std::max<qreal>(1, std::fabs(lo) * 0.1);
    lo -= pad;
    hi += pad;
  }
  axis->setRange(lo, hi);
  if (nice) axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%g"));
  return axis;
}

}  // namespace

QColor SeriesColor(int column) {
  if (column <= 1) return QColor(20, 20, 20);
  // A qualitative palette that stays apart on screen and on paper; beyond it, hues spaced by
  // the golden angle so that neighbouring columns never look alike.
  static const std::array<QColor, 10> kPalette = {
      QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44), QColor(255, 127, 14),
      QColor(148, 103, 189), QColor(23, 190, 207), QColor(140, 86, 75), QColor(227, 119, 194),
      QColor(188, 189, 34),  QColor(127, 127, 127)};
  const int i = column - 2;
  if (i < static_cast<int>(kPalette.size())) return kPalette[static_cast<std::size_t>(i)];
  return QColor::fromHsv(static_cast<int>(std::fmod(i * 137.508, 360.0)), 200, 190);
}

QString SeriesName(int column) {
  return column == 1 ? QStringLiteral("Observed") : QStringLiteral("Model %1").arg(column);
}

void BuildHydrograph(PlotView& view, const PlotData& data, int highlighted) {
  view.chart()->setTitle(QStringLiteral("Hydrograph"));
  view.AddLine(SeriesName(1), 1, ContiguousRuns(data, 1), SeriesPen(1, highlighted));
  std::vector<QPointF> outside = OutOfBoundsPoints(data, 1);
  for (int c : DrawingOrder(data, highlighted)) {
    view.AddLine(SeriesName(c), c, ContiguousRuns(data, c), SeriesPen(c, highlighted));
    const std::vector<QPointF> more = OutOfBoundsPoints(data, c);
    outside.insert(outside.end(), more.begin(), more.end());
  }
  const int rows = std::max(data.Rows(), 1);
  if (data.apply_bounds) {
    view.AddMarks(QStringLiteral("Out of bounds"), 0, outside, QColor(200, 0, 0), 9,
                  QScatterSeries::MarkerShapeTriangle);
  }
  if (data.threshold != 0) {
    view.AddLine(QStringLiteral("Threshold"), 0,
                 {{QPointF(1, data.threshold), QPointF(rows, data.threshold)}},
                 GuidePen(QColor(90, 90, 90)), false);
  }
  const QRectF r = view.DataRect();
  view.SetAxes(ValueAxis(QStringLiteral("Row"), 1, rows, false),
               ValueAxis(QStringLiteral("Value"), r.top(), r.bottom(), true));
  view.SetWholeNumberTicks(true);
}

void BuildScatter(PlotView& view, const PlotData& data, const std::vector<int>& columns) {
  view.chart()->setTitle(QStringLiteral("Modelled against observed"));
  const qreal size = data.Rows() > 2000 ? 4 : 7;
  for (int c : columns) {
    if (c == 1) continue;
    view.AddMarks(SeriesName(c), c, UsablePairs(data, c), SeriesColor(c), size);
  }
  const QRectF r = view.DataRect();
  qreal lo = std::min(r.left(), r.top());
  qreal hi = std::max(r.right(), r.bottom());
  auto* x = ValueAxis(QStringLiteral("Observed"), lo, hi, true);
  lo = x->min();
  hi = x->max();
  view.AddLine(QStringLiteral("1:1 line"), 0, {{QPointF(lo, lo), QPointF(hi, hi)}},
               GuidePen(QColor(60, 60, 60)), false);
  auto* y = ValueAxis(QStringLiteral("Modelled"), lo, hi, false);
  y->setTickCount(x->tickCount());
  view.SetAxes(x, y);
  view.SetSquarePlotArea(true);
}

void BuildDurationCurves(PlotView& view, const PlotData& data, int highlighted) {
  view.chart()->setTitle(QStringLiteral("Flow duration curves"));
  view.AddLine(SeriesName(1), 1, {DurationCurve(data, 1)}, SeriesPen(1, highlighted));
  for (int c : DrawingOrder(data, highlighted)) {
    view.AddLine(SeriesName(c), c, {DurationCurve(data, c)}, SeriesPen(c, highlighted));
  }
  const QRectF r = view.DataRect();
  QAbstractAxis* y = nullptr;
  if (r.top() > 0) {
    auto* log_axis = new QLogValueAxis;
    log_axis->setTitleText(QStringLiteral("Value (log scale)"));
    log_axis->setBase(10);
    log_axis->setLabelFormat(QStringLiteral("%g"));
    log_axis->setMinorTickCount(8);
    // Whole decades, so the grid lines fall on 1, 10, 100 ...
    const double low = std::floor(std::log10(r.top()));
    const double high = std::max(low + 1, std::ceil(std::log10(r.bottom())));
    log_axis->setRange(std::pow(10.0, low), std::pow(10.0, high));
    y = log_axis;
  } else {
    y = ValueAxis(QStringLiteral("Value"), r.top(), r.bottom(), true);
  }
  auto* x = ValueAxis(QStringLiteral("Exceedance probability (%)"), 0, 100, false);
  x->setTickCount(11);
  view.SetAxes(x, y);
}

}  // namespace quelvaris::ui
