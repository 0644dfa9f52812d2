#pragma once

#include <string>
#include <vector>

#include "cli/batch_intervals.h"
#include "cli/cli_host.h"
#include "cli/time_options.h"
#include "engine/batch_reader.h"
#include "engine/evaluation.h"
#include "reports/machine_figures.h"
#include "settings/global_settings.h"

namespace quelvaris::cli {

// What every data file of a call shares when it is read by the batch reader.
struct ReaderCall {
  BatchReaderOptions reader;
  const GlobalSettings* settings = nullptr;
  bool extended = false;
  int threads = 1;            // over the models of a file
  std::string result_format;  // of the results file
  bool calc_aicbic = false;   // AIC and BIC lines in the results file
  bool one_column = false;    // --column: the results file names no "All results" line
  bool keep_results_text = false;
  const std::vector<FigureGroup>* observed_groups = nullptr;
  const std::vector<FigureGroup>* model_groups = nullptr;
  const TimeSetup* time = nullptr;  // with a time column: the evaluation period, periods, skill
  const IntervalRequest* intervals = nullptr;  // resample each file's rows when on
};

// The call's evaluation options as the run reads them from the host's boxes and switches and
// the settings, as the desktop program's run reads its own.
EvaluationOptions EvaluationOptionsOf(const CliHost& host, const GlobalSettings& settings,
                                      bool extended);

// Reads and scores one data file with the steps and messages of a desktop run: the summary,
// too few observed values, a column whose figures fail, a results file that cannot be written.
// The messages go to `host`; the figures, when the run reached them, into the result.
// `table`, when given, receives the columns as read. A resampling the file's record cannot take
// (a block longer than it) is said and sets `refused`.
FileFigures ScoreFile(const ReaderCall& call, const std::string& file,
                      const std::string& results_path, CliHost& host, BatchTable* table = nullptr,
                      bool* refused = nullptr);

}  // namespace quelvaris::cli
