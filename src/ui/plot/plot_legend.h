#pragma once

#include <vector>

#include <QRect>
#include <QWidget>

#include "ui/plot/plot_view.h"

namespace quelvaris::ui {

// One name of a legend and the sample drawn before it: a stretch of the curve's line, its mark
// on top when it has one.
struct LegendEntry {
  QString name;
  int column = 0;
  QPen pen = QPen(Qt::NoPen);
  MarkStyle marks;
};

// The entries of the curves of `views`, one per name (a model drawn in two views, as a line
// and as marks, is one entry with both samples): the observed series first, then the models in
// column order, then guides and marks in the order they were drawn.
std::vector<LegendEntry> LegendEntries(const std::vector<const PlotView*>& views);

// The legend beside a plot. It names every entry, however many: entries run down a column and
// wrap into further columns when the height runs out, the legend growing as wide as its
// columns. A name longer than a column is elided in the middle; its tooltip gives it whole.
class PlotLegend : public QWidget {
  Q_OBJECT

 public:
  explicit PlotLegend(std::vector<LegendEntry> entries, QWidget* parent = nullptr);

  const std::vector<LegendEntry>& Entries() const { return entries_; }
  // Where each entry is drawn at the present size.
  std::vector<QRect> EntryRects() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int RowHeight() const;
  int ColumnWidth() const;
  int RowsPerColumn(int height) const;
  int Columns(int height) const;

  std::vector<LegendEntry> entries_;
  int columns_ = 1;
};

}  // namespace quelvaris::ui
