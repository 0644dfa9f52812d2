#include "cli/time_run.h"

#include <algorithm>

#include "engine/benchmark_series.h"
#include "engine/time_column.h"

namespace quelvaris::cli {

TimedFile ScoreOverTime(const TimeSetup& setup, const BatchTable& table,
                        const EvaluationOptions& evaluation, const std::string& shown,
                        int threads) {
  TimedFile f;
  TimeStampReader reader(setup.layout);
  f.stamps = TimeColumnOf(table.times, table.time_lines, reader, shown);
  f.date_only = std::all_of(f.stamps.begin(), f.stamps.end(), AtMidnight);

  TimedOptions options;
  options.evaluation = evaluation;
  options.window = setup.window;
  options.by = setup.by;
  options.threads = threads;
  // The benchmarks are built over the calibration rows, by default the evaluation period's.
  const RowRange calibration = setup.calibration_given ? RowsInWindow(f.stamps, setup.calibration)
                                                       : RowsInWindow(f.stamps, setup.window);
  std::vector<std::span<const double>> benchmarks;
  std::size_t column = 0;
  f.built.reserve(setup.benchmarks.size());
  for (const Benchmark& b : setup.benchmarks) {
    if (b.kind == BenchmarkKind::Column) {
      benchmarks.emplace_back(table.benchmarks[column++]);
      continue;
    }
    f.built.push_back(
        BenchmarkSeriesOf(b.kind, table.observed, f.stamps, calibration, evaluation.rule));
    benchmarks.emplace_back(f.built.back());
  }
  std::vector<std::span<const double>> models(table.models.begin(), table.models.end());
  f.timed = EvaluateOverTime(table.observed, models, benchmarks, f.stamps, options);
  return f;
}

std::vector<std::string> BenchmarkNames(const TimeSetup& setup) {
  std::vector<std::string> names;
  for (const Benchmark& b : setup.benchmarks) names.push_back(b.name);
  return names;
}

}  // namespace quelvaris::cli
