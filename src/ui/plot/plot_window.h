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
  // The modelled column picked in the selector (0 when the run analysed none).
  int SelectedColumn() const;
  void SelectColumn(int column);

  // Save Image: asks for a PNG or PDF file name and writes the view on screen to it.
  void SaveImage();
  // Writes the view on screen to path (PNG, or PDF for a ".pdf" name). False on failure.
  bool SaveImageTo(const QString& path);

 private:
  void ShowView(int index);
  void Rebuild();

  std::shared_ptr<const PlotData> data_;
  QTabWidget* tabs_;
  QComboBox* selector_;
  std::array<QPointer<PlotView>, kViewCount> views_{};
  QString last_save_path_;
};

}  // namespace quelvaris::ui
