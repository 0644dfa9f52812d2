#include "ui/plot/plot_sheet.h"

#include <QGridLayout>

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

  std::vector<const PlotView*> views{hydrograph_, scatter_};
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(hydrograph_, 0, 0);
  const int rows = data.period_labels.empty() ? 1 : 2;
  if (rows == 2) {
    // The figure of each period under the hydrograph, on the same width.
    periods_ = new PlotView(this);
    BuildPeriodFigure(*periods_, data);
    layout->addWidget(periods_, 1, 0);
    views.push_back(periods_);
  }
  layout->addWidget(scatter_, 0, 1, rows, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  // One legend for all: a model's line and its marks under one name.
  layout->addWidget(new PlotLegend(LegendEntries(views), this), 0, 2, rows, 1);
}

}  // namespace quelvaris::ui
