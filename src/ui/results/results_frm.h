#pragma once

#include <memory>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "ui/results/res_picture.h"

class QScrollArea;
class QToolBar;

namespace quelvaris::ui {

struct ExtendedRun;
class ExtendedWindow;
struct PlotData;
class PlotWindow;

// The results window: the report of the last run in its picture box, with Back and Print on
// its toolbar. It fits its screen and scrolls a report larger than that; printing prints the
// whole report. Shown modally by the screen report; closing it (Back or the close box) deletes
// it, so the next run starts from a fresh window.
class ResultsFrm : public QDialog {
  Q_OBJECT

 public:
  explicit ResultsFrm(QWidget* parent = nullptr);

  ResPicture* Picture() const { return picture_; }
  QToolBar* Toolbar() const { return toolbar_; }

  void SetToolbarVisible(bool visible);
  // Sizes the window to the report, within the room its screen has; done as it is shown.
  void FitToScreen();
  void setVisible(bool visible) override;
  // The toolbar command of the given key; any other key does nothing.
  void ToolbarClick(const QString& key);

  // Back: hides the window and discards it with its picture.
  void CloseResults();
  // Print: printer dialog, then the picture once per copy, one page each. A cancelled dialog or
  // a printer failure ends it silently with the report still on screen.
  void PrintResults();

  // The series of the run for Plot, which stays disabled until they are given.
  void SetPlotData(std::shared_ptr<const PlotData> data);
  // Plot: opens the plot window of the run (or brings the open one to the front).
  void OpenPlot();
  // The plot window while it is open; null otherwise.
  PlotWindow* Plot() const;

  // The series of the run for Extended, which stays disabled until they are given.
  void SetExtendedRun(std::shared_ptr<const ExtendedRun> run);
  // Extended: opens the window of the run's extended figures (or brings the open one forward).
  void OpenExtended();
  // The extended figures' window while it is open; null otherwise.
  ExtendedWindow* Extended() const;

 protected:
  bool event(QEvent* event) override;

 private:
  QToolBar* toolbar_;
  QScrollArea* scroll_;  // holds the picture whole and scrolls it when the screen is smaller
  ResPicture* picture_;
  std::shared_ptr<const PlotData> plot_data_;
  QPointer<PlotWindow> plot_;  // a child window: closes with the results, not blocked by them
  std::shared_ptr<const ExtendedRun> extended_run_;
  QPointer<ExtendedWindow> extended_;  // a child window like the plot window
};

}  // namespace quelvaris::ui
