#include "ui/plot/plot_sheet.h"

#include <QHBoxLayout>

#include "ui/plot/plot_charts.h"
#include "ui/plot/plot_legend.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::ui {

PlotSheet::PlotSheet(const PlotData& data, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PlotSheet"));
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::white);
  setPalette(background);

  hydrograph_ = new PlotView(this);
  BuildHydrograph(*hydrograph_, data, 0);
  scatter_ = new PlotView(this);
  BuildScatter(*scatter_, data, {data.columns.begin(), data.columns.end()});

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(hydrograph_, 3);
  layout->addWidget(scatter_, 2);
  // One legend for both: a model's line and its marks under one name.
  layout->addWidget(new PlotLegend(LegendEntries({hydrograph_, scatter_}), this));
}

}  // namespace quelvaris::ui
