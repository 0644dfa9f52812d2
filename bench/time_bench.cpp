// Speed of scoring over time: 30 years of daily rows (10,958) with 29 models, over the whole
// span alone and with every period of a grouping as well:
//
//   time_bench --benchmark_repetitions=10
//
// BM_EvaluateOverTime's first argument is the grouping: none (0), month (1), year (2),
// month-of-year (3); its second is --extended (1) or not (0). Each month is an Evaluate call of
// its own on about 30 rows, so `--by month` costs the whole span's figures once more plus what
// 360 small calls add; it should stay within 1.5 times the whole span alone.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <date/date.h>

#include "engine/timed_evaluation.h"

namespace quelvaris {
namespace {

struct Columns {
  std::vector<TimeStamp> stamps;
  std::vector<double> observed;
  std::vector<std::vector<double>> models;
};

// A seasonal, flow-like observed series and 29 models with their own bias and noise, about
// 1 % of the values missing; the same numbers on every machine.
const Columns& ThirtyYears() {
  static const Columns columns = [] {
    Columns c;
    const date::sys_days first = date::year{1990} / 10 / 1;
    const date::sys_days last = date::year{2020} / 9 / 30;
    std::uint64_t state = 12345;
    const auto uniform = [&state] {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (date::sys_days d = first; d <= last; d += date::days{1}) c.stamps.push_back(d);
    for (std::size_t i = 0; i < c.stamps.size(); ++i) {
      const double season = std::sin(static_cast<double>(i) * 0.0172);
      c.observed.push_back(uniform() < 0.01 ? -999 : 20 + 12 * season + 6 * uniform());
    }
    c.models.resize(29);
    for (std::size_t m = 0; m < c.models.size(); ++m) {
      for (const double o : c.observed) {
        const double v =
            (o == -999 ? 20 : o) * (0.9 + 0.01 * static_cast<double>(m)) + 4 * (uniform() - 0.5);
        c.models[m].push_back(uniform() < 0.01 ? -999 : v);
      }
    }
    return c;
  }();
  return columns;
}

void BM_EvaluateOverTime(benchmark::State& state) {
  const Columns& c = ThirtyYears();
  std::vector<std::span<const double>> models(c.models.begin(), c.models.end());
  TimedOptions options;
  options.evaluation.extended = state.range(1) != 0;
  static const char* const kGroupings[] = {nullptr, "month", "year", "month-of-year"};
  if (const char* by = kGroupings[state.range(0)]) options.by = PeriodGroupingOf(by);
  std::size_t periods = 0;
  for (auto _ : state) {
    const TimedEvaluation timed = EvaluateOverTime(c.observed, models, {}, c.stamps, options);
    periods = timed.periods.size();
    benchmark::DoNotOptimize(timed.whole.evaluation.models.data());
  }
  state.counters["periods"] = static_cast<double>(periods);
}
BENCHMARK(BM_EvaluateOverTime)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelvaris

BENCHMARK_MAIN();
