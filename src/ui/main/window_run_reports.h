#pragma once

#include <QPointer>

#include "engine/run_reports.h"
#include "ui/results/results_frm.h"

class QWidget;

namespace quelvaris::ui {

// The end of a run on screen: the results file through the writer every front end shares, and
// the screen report drawn into a results window shown modally over the main window.
class WindowRunReports : public RunReports {
 public:
  explicit WindowRunReports(QWidget* parent) : parent_(parent) {}

  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override;
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override;

  // The results window while it is loaded (during the modal show of a run); null otherwise.
  ResultsFrm* Window() const { return window_; }

 private:
  QWidget* parent_;
  QPointer<ResultsFrm> window_;  // deleted when the user closes it
};

}  // namespace quelvaris::ui
