#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "engine/bootstrap.h"
#include "ui/extended/extended_run.h"
#include "ui/extended/intervals_job.h"

class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quelvaris::ui {

// The Extended window's strip for its Intervals command: the resample count and the confidence
// (taken from and kept in the settings file), and while the intervals are computed a progress
// bar and Cancel. The window goes on answering meanwhile; `finished` gets the intervals.
class IntervalsPanel : public QWidget {
  Q_OBJECT

 public:
  IntervalsPanel(const ExtendedRun& run, std::function<void(const BootstrapResult&)> finished,
                 QWidget* parent);
  ~IntervalsPanel() override;

  // Starts the computation with the values shown, unless one is running.
  void Start();
  void Cancel();
  bool Running() const { return job_ != nullptr; }

  QSpinBox* Resamples() const { return resamples_; }
  QDoubleSpinBox* Confidence() const { return confidence_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* Status() const { return status_; }

 private:
  void Poll();

  ExtendedRun run_;
  std::function<void(const BootstrapResult&)> finished_;
  QSpinBox* resamples_;
  QDoubleSpinBox* confidence_;
  QProgressBar* progress_;
  QPushButton* cancel_;
  QLabel* status_;
  QTimer* timer_;
  std::unique_ptr<IntervalsJob> job_;
};

}  // namespace quelvaris::ui
