#pragma once

#include <memory>

#include <QWidget>

#include "ui/plot/plot_data.h"

namespace quelvaris::ui {

class PlotView;

// The printed summary of a run: the hydrograph beside the scatter of every analysed model.
class PlotSheet : public QWidget {
  Q_OBJECT

 public:
  explicit PlotSheet(const PlotData& data, QWidget* parent = nullptr);

  PlotView* Hydrograph() const { return hydrograph_; }
  PlotView* Scatter() const { return scatter_; }

 private:
  PlotView* hydrograph_;
  PlotView* scatter_;
};

}  // namespace quelvaris::ui
