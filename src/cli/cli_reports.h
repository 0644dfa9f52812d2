#pragma once

#include <vector>

#include "engine/run_reports.h"
#include "reports/machine_figures.h"

namespace quelvaris::cli {

// The reports of a batch run: the results file exactly as the desktop program writes it, and
// in place of the results window the run's figures collected for the chosen output (every
// analysed column: a terminal scrolls sideways, the window could not).
class CliReports : public RunReports {
 public:
  // The groups to collect live as long as the reports; `with_results_text` also keeps the
  // results file's text, which the text table is made of.
  CliReports(const std::vector<FigureGroup>& observed_groups,
             const std::vector<FigureGroup>& model_groups, bool with_results_text)
      : observed_groups_(observed_groups),
        model_groups_(model_groups),
        with_results_text_(with_results_text) {}

  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override;
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override;

  // Starts the record of the next data file.
  void BeginFile(const std::string& file);
  FileFigures& figures() { return figures_; }

 private:
  const std::vector<FigureGroup>& observed_groups_;
  const std::vector<FigureGroup>& model_groups_;
  bool with_results_text_;
  FileFigures figures_;
};

}  // namespace quelvaris::cli
