#pragma once

#include <memory>

#include <QWidget>

#include "ui/plot/plot_data.h"

namespace quelvaris::ui {

class PlotView;

// The printed summary of a run: the hydrograph beside the scatter of every analysed model,
// with the figure of each period under the hydrograph when the run has periods.
class PlotSheet : public QWidget {
  Q_OBJECT

 public:
  explicit PlotSheet(const PlotData& data, QWidget* parent = nullptr);

  PlotView* Hydrograph() const { return hydrograph_; }
  PlotView* Scatter() const { return scatter_; }
  PlotView* Periods() const { return periods_; }  // null without periods

 private:
  PlotView* hydrograph_;
  PlotView* scatter_;
  PlotView* periods_ = nullptr;
};

}  // namespace quelvaris::ui
