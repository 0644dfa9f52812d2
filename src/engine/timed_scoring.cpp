#include "engine/timed_scoring.h"

#include <algorithm>

#include "engine/benchmark_series.h"
#include "engine/time_column.h"

namespace quelvaris {

TimedFile ScoreOverTime(const TimeSetup& setup, const TimedColumns& columns,
                        const EvaluationOptions& evaluation, const std::string& shown, int threads,
                        PeriodSink* sink, std::span<const Period> taken,
                        std::vector<std::vector<double>>* logs) {
  TimedFile f;
  TimeStampReader reader(setup.layout);
  f.stamps = TimeColumnOf(columns.times, columns.lines, reader, shown);
  f.date_only = AllAtMidnight(f.stamps);

  TimedOptions options;
  options.evaluation = evaluation;
  options.window = setup.window;
  options.by = setup.by;
  options.threads = threads;
  options.sink = sink;
  options.taken = taken;
  options.logs = logs;
  // The benchmarks are built over the calibration rows, by default the evaluation period's.
  const RowRange calibration = setup.calibration_given ? RowsInWindow(f.stamps, setup.calibration)
                                                       : RowsInWindow(f.stamps, setup.window);
  std::vector<std::span<const double>> benchmarks;
  std::size_t column = 0;
  f.built.reserve(setup.benchmarks.size());
  for (const Benchmark& b : setup.benchmarks) {
    if (b.kind == BenchmarkKind::Column) {
      benchmarks.push_back(columns.benchmark_columns[column++]);
      continue;
    }
    f.built.push_back(
        BenchmarkSeriesOf(b.kind, columns.observed, f.stamps, calibration, evaluation.rule));
    benchmarks.emplace_back(f.built.back());
  }
  f.timed = EvaluateOverTime(columns.observed, columns.models, benchmarks, f.stamps, options);
  return f;
}

TimedFile ScoreOverTime(const TimeSetup& setup, const BatchTable& table,
                        const EvaluationOptions& evaluation, const std::string& shown, int threads,
                        PeriodSink* sink, std::span<const Period> taken,
                        std::vector<std::vector<double>>* logs) {
  TimedColumns columns;
  columns.observed = table.observed;
  columns.models.assign(table.models.begin(), table.models.end());
  columns.benchmark_columns.assign(table.benchmarks.begin(), table.benchmarks.end());
  columns.times = table.times;
  columns.lines = table.time_lines;
  return ScoreOverTime(setup, columns, evaluation, shown, threads, sink, taken, logs);
}

std::vector<std::string> BenchmarkNames(const TimeSetup& setup) {
  std::vector<std::string> names;
  for (const Benchmark& b : setup.benchmarks) names.push_back(b.name);
  return names;
}

}  // namespace quelvaris
