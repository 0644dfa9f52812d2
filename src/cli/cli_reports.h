#pragma once

#include <vector>

#include "cli/batch_intervals.h"
#include "engine/run_reports.h"
#include "reports/machine_figures.h"

namespace quelvaris::cli {

// The reports of a batch run: the results file exactly as the desktop program writes it, and
// in place of the results window the run's figures collected for the chosen output (every
// analysed column: a terminal scrolls sideways, the window could not).
class CliReports : public RunReports {
 public:
  // What a run keeps besides the groups' figures.
  struct Keep {
    bool results_text = false;  // the results file's text, which the text table is made of
    bool extended = false;      // the extended figures, for ExtendedFigures()
    const IntervalRequest* intervals = nullptr;  // resample the rows when on
  };

  // The groups to collect live as long as the reports.
  CliReports(const std::vector<FigureGroup>& observed_groups,
             const std::vector<FigureGroup>& model_groups, Keep keep)
      : observed_groups_(observed_groups), model_groups_(model_groups), keep_(keep) {}

  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override;
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override;

  // Starts the record of the next data file.
  void BeginFile(const std::string& file);
  FileFigures& figures() { return figures_; }
  // Why the file's rows could not be resampled as asked (a block longer than its record).
  const std::optional<std::string>& IntervalRefusal() const { return interval_refusal_; }

 private:
  // The intervals of the run's models, pointed to from `run`'s models.
  void Resample(const RunContext& ctx, std::int16_t first, std::int16_t last, RunFigures& run);

  const std::vector<FigureGroup>& observed_groups_;
  const std::vector<FigureGroup>& model_groups_;
  Keep keep_;
  FileFigures figures_;
  std::vector<ExtendedStats> extended_;
  BootstrapResult bootstrap_;
  std::optional<std::string> interval_refusal_;
};

}  // namespace quelvaris::cli
