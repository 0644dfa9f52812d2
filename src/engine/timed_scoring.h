#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/batch_reader.h"
#include "engine/evaluation.h"
#include "engine/time_setup.h"
#include "engine/timed_evaluation.h"

namespace quelvaris {

// The columns of a time-aware evaluation, row for row: the observed series, the models, one
// series per benchmark of kind Column (in the order the benchmarks were given), and the time
// column's texts with the line each row stands on.
struct TimedColumns {
  std::span<const double> observed;
  std::vector<std::span<const double>> models;
  std::vector<std::span<const double>> benchmark_columns;
  std::span<const std::string> times;
  std::span<const std::int64_t> lines;
};

// A series scored over time: its stamps, the benchmark series built for it and the figures.
struct TimedFile {
  std::vector<TimeStamp> stamps;
  bool date_only = true;                   // every stamp at midnight: written back as dates
  std::vector<std::vector<double>> built;  // the built benchmarks' series
  TimedEvaluation timed;
};

// Reads the time stamps and scores the models and benchmarks over the evaluation period and
// its periods. A time stamp that does not read or does not increase raises TimeStampError
// naming `shown` (the file as messages name it).
TimedFile ScoreOverTime(const TimeSetup& setup, const TimedColumns& columns,
                        const EvaluationOptions& evaluation, const std::string& shown, int threads,
                        PeriodSink* sink = nullptr, std::span<const Period> taken = {},
                        std::vector<std::vector<double>>* logs = nullptr);

// The same for a data file as the batch reader read it. With a sink, the periods go to it as
// they are scored (see PeriodSink); `taken` are those it already holds and `logs` the
// logarithms of the first rows (see PeriodsAhead and TimedOptions).
TimedFile ScoreOverTime(const TimeSetup& setup, const BatchTable& table,
                        const EvaluationOptions& evaluation, const std::string& shown, int threads,
                        PeriodSink* sink = nullptr, std::span<const Period> taken = {},
                        std::vector<std::vector<double>>* logs = nullptr);

// The names the formats give the benchmarks: as given.
std::vector<std::string> BenchmarkNames(const TimeSetup& setup);

}  // namespace quelvaris
