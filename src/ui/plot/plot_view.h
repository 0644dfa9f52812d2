#pragma once

#include <vector>

#include <QChartView>
#include <QMargins>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QScatterSeries>
#include <QString>

class QAbstractAxis;
class QXYSeries;

namespace quelvaris::ui {

// One thing a plot shows under one legend entry: a data series drawn as the chart series of
// its pieces (the stretches between gaps), or a guide such as the 1:1 line.
struct PlotCurve {
  QString name;
  int column = 0;  // 1 observed, 2..30 a model, 0 a guide or marks
  std::vector<QXYSeries*> pieces;
};

// A chart view for the run's plots: curves with one legend entry each, zoom by rubber band and
// mouse wheel (right click zooms back out), and long lines thinned to about the plot's width in
// pixels for the visible range, recomputed on every zoom so detail comes back when zooming in.
class PlotView : public QChartView {
  Q_OBJECT

 public:
  explicit PlotView(QWidget* parent = nullptr);

  // A line through each piece; pieces of a single point are drawn as dots, since a line
  // series of one point shows nothing.
  void AddLine(const QString& name, int column, const std::vector<std::vector<QPointF>>& pieces,
               const QPen& pen, bool thin_out = true);
  void AddMarks(const QString& name, int column, const std::vector<QPointF>& points,
                const QColor& color, qreal size,
                QScatterSeries::MarkerShape shape = QScatterSeries::MarkerShapeCircle);
  // Adds the axes and attaches every series to them. Call once, after the curves.
  void SetAxes(QAbstractAxis* x, QAbstractAxis* y);
  // Ticks of the horizontal axis on whole numbers (1, 2, 5 times a power of ten, at least 1),
  // recomputed on every zoom: for axes that count rows.
  void SetWholeNumberTicks(bool whole);
  // Keeps the plot area square (for plots whose two axes share one range).
  void SetSquarePlotArea(bool square);

  const std::vector<PlotCurve>& Curves() const { return curves_; }
  // The extent of every point added so far; empty before the first.
  QRectF DataRect() const { return data_rect_; }
  void ResetZoom();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct ThinnedSeries {
    QXYSeries* series;
    std::vector<QPointF> points;  // every point, sorted by x
  };

  void Include(const std::vector<QPointF>& points);
  void AddPiece(PlotCurve& curve, QXYSeries* series);
  void ScheduleThinning();
  void ThinOut();
  void FitSquare();
  void UpdateWholeNumberTicks();

  std::vector<PlotCurve> curves_;
  std::vector<ThinnedSeries> thinned_;
  QRectF data_rect_;
  QMargins base_margins_;
  bool has_data_ = false;
  bool thinning_scheduled_ = false;
  bool square_ = false;
  bool fit_scheduled_ = false;
  bool whole_ticks_ = false;
};

}  // namespace quelvaris::ui
