#pragma once

#include <array>
#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "ui/plot/plot_data.h"

class QComboBox;
class QTabWidget;

namespace quelvaris::ui {

class PlotLegend;
class PlotView;

// The plots of one run: hydrograph, scatter and flow duration curves on tabs, a selector for
// the model column looked at, zoom reset and Save Image. A view is built when first shown and
// rebuilt when another model column is picked, so opening costs one chart, not three.
class PlotWindow : public QWidget {
  Q_OBJECT

 public:
  enum ViewIndex { kHydrograph = 0, kScatter = 1, kDurationCurves = 2, kViewCount = 3 };

  explicit PlotWindow(std::shared_ptr<const PlotData> data, QWidget* parent = nullptr);

  const PlotData& Data() const { return *data_; }
  QTabWidget* Tabs() const { return tabs_; }
  QComboBox* ModelSelector() const { return selector_; }
  // The view on the given tab, built now if it was not yet.
  PlotView* View(int index);
  // The legend beside the view on the given tab, built with it.
  PlotLegend* Legend(int index);
  // The modelled column picked in the selector (0 when the run analysed none).
  int SelectedColumn() const;
  void SelectColumn(int column);

  // Save Image: asks for a PNG or PDF file name and writes the view on screen to it.
  void SaveImage();
  // Writes the view on screen and its legend to path (PNG, or PDF for a ".pdf" name). False on
  // failure.
  bool SaveImageTo(const QString& path);

 private:
  // The view of the given tab for the selected column, its legend beside it, into `page`.
  PlotView* BuildInto(int index, QWidget& page);
  // The PDF is laid out afresh in the page's shape, at the zoom on screen, so that it fills
  // the page.
  bool SavePdfTo(const QString& path);
  void ShowView(int index);
  void Rebuild();

  std::shared_ptr<const PlotData> data_;
  QTabWidget* tabs_;
  QComboBox* selector_;
  std::array<QPointer<PlotView>, kViewCount> views_{};
  std::array<QPointer<PlotLegend>, kViewCount> legends_{};
  QString last_save_path_;
};

}  // namespace quelvaris::ui
