#include "ui/plot/plot_sheet.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <QChart>
#include <QGridLayout>

#include "ui/plot/plot_charts.h"
#include "ui/plot/plot_legend.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::ui {

namespace {

// Views that share a time axis start their plot areas at one place: the one whose axis labels
// are narrower gets a wider left margin. Each view's left edge "at rest" is where it would lie
// with the margin it was given; the margins follow once the views have laid themselves out.
void AlignLeftEdges(QWidget* owner, const std::vector<PlotView*>& views) {
  if (views.size() < 2) return;
  const int rest = views.front()->chart()->margins().left();
  auto scheduled = std::make_shared<bool>(false);
  const auto align = [views, rest, scheduled] {
    *scheduled = false;
    qreal widest = 0;
    std::vector<qreal> at_rest;
    for (PlotView* v : views) {
      const QRectF area = v->chart()->plotArea();
      if (area.width() <= 0) return;
      at_rest.push_back(area.left() - (v->chart()->margins().left() - rest));
      widest = std::max(widest, at_rest.back());
    }
    for (std::size_t i = 0; i < views.size(); ++i) {
      QMargins margins = views[i]->chart()->margins();
      const int left = rest + static_cast<int>(std::lround(widest - at_rest[i]));
      if (margins.left() == left) continue;
      margins.setLeft(left);
      views[i]->chart()->setMargins(margins);
    }
  };
  for (PlotView* v : views) {
    QObject::connect(v->chart(), &QChart::plotAreaChanged, owner, [owner, align, scheduled] {
      if (*scheduled) return;
      *scheduled = true;
      QMetaObject::invokeMethod(owner, align, Qt::QueuedConnection);
    });
  }
}

}  // namespace

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
    if (!data.period_middles.empty()) AlignLeftEdges(this, {hydrograph_, periods_});
  }
  layout->addWidget(scatter_, 0, 1, rows, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  // One legend for all: a model's line and its marks under one name.
  layout->addWidget(new PlotLegend(LegendEntries(views), this), 0, 2, rows, 1);
}

}  // namespace quelvaris::ui
