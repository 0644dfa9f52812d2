#pragma once

#include <vector>

#include <QChartView>
#include <QColor>
#include <QMargins>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

class QAbstractAxis;
class QPainter;
class QXYSeries;

namespace quelvaris::ui {

enum class MarkShape { Circle, Square, Triangle, Diamond, Cross };

// How a curve's marks look; size 0 for a curve without marks.
struct MarkStyle {
  QColor color;
  qreal size = 0;
  MarkShape shape = MarkShape::Circle;
};

// Draws one mark of the style filling `box` (the plots' marks and the legend's samples).
void PaintMark(QPainter& painter, const QRectF& box, const MarkStyle& style);

// One thing a plot shows under one legend entry: a data series, or a guide such as the 1:1
// line. Its line is one chart series through its stretches between gaps (each gap a point
// whose value is not a number, where the line breaks); its marks (a scatter cloud, or the
// stretches of a single point, which a line cannot show) are drawn by the view's mark layer.
struct PlotCurve {
  QString name;
  int column = 0;  // 1 observed, 2..30 a model, 0 a guide or marks
  std::vector<QXYSeries*> series;
  std::vector<QPointF> marked;  // the points drawn as marks
  QPen pen = QPen(Qt::NoPen);   // the line; none for marks alone
  MarkStyle marks;
};

// An axis's range as two numbers, whatever the kind of axis.
struct AxisRange {
  qreal min = 0;
  qreal max = 0;
  bool operator==(const AxisRange&) const = default;
};

// A chart view for the run's plots: curves with one legend entry each (the legend is a widget
// of its own beside the chart, see PlotLegend), zoom by rubber band and mouse wheel, right
// click back to the zoom before, and long lines thinned to about the plot's width in pixels
// for the visible range, recomputed on every zoom so detail comes back when zooming in.
//
// Marks (scatter clouds, single points, values out of bounds) are painted by one graphics item
// over the plot area: the toolkit's scatter series makes a graphics item per point, and its
// line series strokes its whole path for hit testing at every change, so a cloud of 290,000
// points costs seconds and hundreds of megabytes either way.
class PlotView : public QChartView {
  Q_OBJECT

 public:
  explicit PlotView(QWidget* parent = nullptr);

  // A line through each piece, broken between them; pieces of a single point are drawn as
  // dots, since a line of one point shows nothing. A curve of many gaps is still one series:
  // the chart's cost grows with the square of its series.
  void AddLine(const QString& name, int column, const std::vector<std::vector<QPointF>>& pieces,
               const QPen& pen, bool thin_out = true);
  void AddMarks(const QString& name, int column, const std::vector<QPointF>& points,
                const MarkStyle& style);
  // Adds the axes and attaches every series to them. Call once, after the curves.
  void SetAxes(QAbstractAxis* x, QAbstractAxis* y);
  // The ticks of value axes fall on round numbers (1, 2 or 5 times a power of ten) at every
  // zoom; with `whole`, those of the horizontal axis on whole numbers too: for axes that count
  // rows.
  void SetWholeNumberTicks(bool whole);
  // The horizontal axis (a QCategoryAxis whose values are seconds since 1970) labelled with
  // dates on round calendar steps at every zoom.
  void SetDateTicks(bool dates);
  // Keeps the plot area square (for plots whose two axes share one range).
  void SetSquarePlotArea(bool square);

  const std::vector<PlotCurve>& Curves() const { return curves_; }
  // The extent of every point added so far; empty before the first.
  QRectF DataRect() const { return data_rect_; }
  void ResetZoom();
  // Back to the ranges before the last zoom (drag or wheel step); the whole plot when there
  // was none. Right click does this.
  void StepBack();
  AxisRange XRange() const;
  AxisRange YRange() const;
  void SetRanges(AxisRange x, AxisRange y);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct ThinnedSeries {
    QXYSeries* series;
    std::vector<std::vector<QPointF>> pieces;  // every point, each piece sorted by x
  };

  void Include(const std::vector<QPointF>& points);
  void AddPiece(PlotCurve& curve, QXYSeries* series);
  void ScheduleThinning();
  void ThinOut();
  void FitSquare();
  void UpdateRoundTicks();
  void AddMarkSet(const std::vector<QPointF>& points, const MarkStyle& style);
  void RememberZoom();

  std::vector<PlotCurve> curves_;
  class MarkLayer;
  MarkLayer* marks_;
  std::vector<ThinnedSeries> thinned_;
  std::vector<std::pair<AxisRange, AxisRange>> zoom_history_;
  QRectF data_rect_;
  QMargins base_margins_;
  bool has_data_ = false;
  bool thinning_scheduled_ = false;
  bool square_ = false;
  bool fit_scheduled_ = false;
  bool whole_ticks_ = false;
  bool date_ticks_ = false;
};

}  // namespace quelvaris::ui
