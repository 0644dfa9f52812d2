#include "ui/plot/plot_charts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QCategoryAxis>
#include <QChart>
#include <QLogValueAxis>
#include <QValueAxis>

#include "ui/plot/plot_data.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::ui {
namespace {

constexpr qreal kLineWidth = 1.2;
constexpr qreal kHighlightWidth = 2.4;

constexpr int kPaletteSize = 7;

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
  if (column <= 1) return QColor(0, 0, 0);
  // Okabe-Ito without its black (the observed series'); its yellow, faint on white, last.
  static const std::array<QColor, kPaletteSize> kPalette = {
      QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9), QColor(0x00, 0x9E, 0x73),
      QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00), QColor(0xCC, 0x79, 0xA7),
      QColor(0xF0, 0xE4, 0x42)};
  const QColor base = kPalette[static_cast<std::size_t>((column - 2) % kPaletteSize)];
  // Later rounds darker, then lighter, so that two models of one hue still differ; lines stay
  // solid, since a dash pattern along a dense hydrograph costs seconds to draw and shows as a
  // solid line anyway.
  switch ((column - 2) / kPaletteSize) {
    case 0:
      return base;
    case 1:
      return base.darker(160);
    case 2:
      return base.lighter(135);
    default:
      return base.darker(240);
  }
}

MarkShape SeriesShape(int column) {
  static const std::array<MarkShape, 5> kShapes = {MarkShape::Circle, MarkShape::Square,
                                                   MarkShape::Triangle, MarkShape::Diamond,
                                                   MarkShape::Cross};
  if (column <= 1) return MarkShape::Circle;
  return kShapes[static_cast<std::size_t>((column - 2) / kPaletteSize % kShapes.size())];
}

QString SeriesName(const PlotData& data, int column) {
  if (column == 1) return QStringLiteral("Observed");
  const QString named = data.Name(column);
  return named.isEmpty() ? QStringLiteral("Model %1").arg(column) : named;
}

void BuildHydrograph(PlotView& view, const PlotData& data, int highlighted) {
  view.chart()->setTitle(QStringLiteral("Hydrograph"));
  std::vector<QPointF> outside;
  // What the models are measured against lies on top of them.
  std::vector<int> order = DrawingOrder(data, highlighted);
  order.push_back(1);
  // A record of many more steps than the picture has pixels fills a band with each line; the
  // observed one, on top, would hide every model in it, so there it is drawn thin and
  // translucent.
  constexpr int kDenseRows = 1500;
  const bool dense = data.Rows() > kDenseRows;
  for (int c : order) {
    QPen pen = SeriesPen(c, highlighted);
    if (c == 1 && dense) {
      QColor translucent = pen.color();
      translucent.setAlphaF(0.3f);
      pen.setColor(translucent);
      pen.setWidthF(kLineWidth);
    }
    view.AddLine(SeriesName(data, c), c, ContiguousRuns(data, c), pen);
    const std::vector<QPointF> more = OutOfBoundsPoints(data, c);
    outside.insert(outside.end(), more.begin(), more.end());
  }
  const int rows = std::max(data.Rows(), 1);
  const double first = data.X(0);
  const double last = data.Rows() > 0 ? data.X(static_cast<std::size_t>(rows - 1)) : first;
  if (data.apply_bounds) {
    view.AddMarks(QStringLiteral("Out of bounds"), 0, outside,
                  {QColor(200, 0, 0), 9, MarkShape::Triangle});
  }
  if (data.threshold != 0) {
    view.AddLine(QStringLiteral("Threshold"), 0,
                 {{QPointF(first, data.threshold), QPointF(last, data.threshold)}},
                 GuidePen(QColor(90, 90, 90)), false);
  }
  const QRectF r = view.DataRect();
  QValueAxis* y = ValueAxis(QStringLiteral("Value"), r.top(), r.bottom(), true);
  if (data.times.empty()) {
    view.SetAxes(ValueAxis(QStringLiteral("Row"), 1, rows, false), y);
    view.SetWholeNumberTicks(true);
    return;
  }
  auto* x = new QCategoryAxis;
  x->setTitleText(QStringLiteral("Date"));
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  // A single stamp still needs a day around it.
  x->setRange(first, last > first ? last : first + 86400);
  view.SetAxes(x, y);
  view.SetDateTicks(true);
}

void BuildPeriodFigure(PlotView& view, const PlotData& data) {
  view.chart()->setTitle(data.period_figure_name + QStringLiteral(" by ") + data.period_grouping);
  const std::size_t periods = data.period_labels.size();
  // On the hydrograph's dates where the periods follow one another in time, else in order.
  const bool dated = data.period_middles.size() == periods && !data.times.empty();
  const auto at = [&](std::size_t p) {
    return dated ? data.period_middles[p] : static_cast<double>(p + 1);
  };
  double lowest = 1;
  for (std::size_t m = 0; m < data.period_figure.size() && m + 1 < data.columns.size(); ++m) {
    const int column = data.columns[m + 1];
    std::vector<std::vector<QPointF>> pieces(1);
    for (std::size_t p = 0; p < periods && p < data.period_figure[m].size(); ++p) {
      const double v = data.period_figure[m][p];
      if (!std::isfinite(v)) {
        if (!pieces.back().empty()) pieces.emplace_back();
        continue;
      }
      pieces.back().emplace_back(at(p), v);
      lowest = std::min(lowest, v);
    }
    const QPen pen = SeriesPen(column, 0);
    view.AddLine(SeriesName(data, column), column, pieces, pen, false);
    // A mark at each period while they stand apart; a line alone once they crowd.
    if (periods <= 60) {
      std::vector<QPointF> marks;
      for (const auto& piece : pieces) marks.insert(marks.end(), piece.begin(), piece.end());
      view.AddMarks(SeriesName(data, column), column, marks,
                    {SeriesColor(column), 6, SeriesShape(column)});
    }
  }
  // Efficiencies far below 0 would flatten the rest: the axis stops at -1 (the figures drawn
  // are efficiencies, at most 1).
  auto* y =
      ValueAxis(data.period_figure_name, std::max(-1.0, std::floor(lowest * 10) / 10), 1, false);
  auto* x = new QCategoryAxis;
  const QString& grouping = data.period_grouping;
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  if (dated) {
    // The hydrograph's range and ticks, so that each period (at its middle) stands under its
    // flows.
    const double first = data.X(0);
    const double last = data.X(static_cast<std::size_t>(std::max(data.Rows(), 1) - 1));
    x->setTitleText(QStringLiteral("Date"));
    x->setRange(first, last > first ? last : first + 86400);
    view.SetAxes(x, y);
    view.SetDateTicks(true);
    return;
  }
  x->setTitleText(grouping.left(1).toUpper() + grouping.mid(1));
  x->setRange(0.5, static_cast<double>(periods) + 0.5);
  x->setStartValue(0.5);
  // About twelve labels at most, each on its period.
  const std::size_t every = std::max<std::size_t>(1, (periods + 11) / 12);
  for (std::size_t p = 0; p < periods; p += every) {
    x->append(data.period_labels[p], static_cast<double>(p + 1));
  }
  view.SetAxes(x, y);
}

void BuildScatter(PlotView& view, const PlotData& data, const std::vector<int>& columns) {
  view.chart()->setTitle(QStringLiteral("Modelled against observed"));
  const qreal size = data.Rows() > 2000 ? 4 : 7;
  for (int c : columns) {
    if (c == 1) continue;
    view.AddMarks(SeriesName(data, c), c, UsablePairs(data, c),
                  {SeriesColor(c), size, SeriesShape(c)});
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
  view.SetSquarePlotArea(true);
  view.SetAxes(x, y);
}

void BuildDurationCurves(PlotView& view, const PlotData& data, int highlighted) {
  view.chart()->setTitle(QStringLiteral("Flow duration curves"));
  std::vector<int> order = DrawingOrder(data, highlighted);
  order.push_back(1);
  for (int c : order) {
    view.AddLine(SeriesName(data, c), c, {DurationCurve(data, c)}, SeriesPen(c, highlighted));
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
  view.SetAxes(x, y);
}

}  // namespace quelvaris::ui
