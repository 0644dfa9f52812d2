#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/time_options.h"
#include "engine/batch_reader.h"
#include "engine/evaluation.h"
#include "engine/timed_evaluation.h"
#include "reports/time_figures.h"

namespace quelvaris::cli {

// A file scored over time: its stamps, the benchmark series built for it and the figures.
struct TimedFile {
  std::vector<TimeStamp> stamps;
  bool date_only = true;                   // every stamp at midnight: written back as dates
  std::vector<std::vector<double>> built;  // the built benchmarks' series
  TimedEvaluation timed;
};

// Reads the time column of `table` and scores its models and benchmarks over the evaluation
// period and its periods. A time stamp that does not read or does not increase raises
// TimeStampError naming `shown` (the file as messages name it).
TimedFile ScoreOverTime(const TimeSetup& setup, const BatchTable& table,
                        const EvaluationOptions& evaluation, const std::string& shown, int threads);

// The names the formats give the benchmarks: as given on the command line.
std::vector<std::string> BenchmarkNames(const TimeSetup& setup);

}  // namespace quelvaris::cli
