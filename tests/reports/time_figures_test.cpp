#include "reports/time_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <date/date.h>

namespace quelvaris {
namespace {

// Everything the formats write of a span, as one text to compare.
std::string Flat(const SpanFigures& s) {
  std::string out = s.period + "|" + s.start + "|" + s.end + "|" + std::to_string(s.rows) + "|" +
                    std::to_string(s.missing) + "|" + (s.has_figures ? "y" : "n");
  const auto column = [&out](const ColumnFigures& c) {
    out += "|" + c.name;
    for (std::size_t g = 0; g < c.groups.size(); ++g) {
      for (std::size_t i = 0; i < c.groups[g].size(); ++i) {
        const FigureValue v = c.groups[g][i];
        out += v.defined ? " " + std::to_string(v.value) : " -";
      }
    }
  };
  column(s.observed);
  for (const ColumnFigures& m : s.models) column(m);
  for (const auto& per_model : s.skill) {
    for (const SkillColumn& b : per_model) {
      out += "|" + b.benchmark;
      for (const FigureValue& v : b.skill) out += v.defined ? " " + std::to_string(v.value) : " -";
    }
  }
  return out;
}

// Periods collected as they are scored, on several threads, are those collected from the kept
// periods afterwards: with a month of too few observed values, with stamps at midnight
// (written as dates) and stamps of the day's noon.
TEST(TimeFiguresCollector, SameSpansAsCollectedAfterwards) {
  for (const auto hour : {std::chrono::hours{0}, std::chrono::hours{12}}) {
    std::vector<TimeStamp> stamps;
    std::vector<double> o;
    std::vector<double> p;
    std::vector<double> q;
    const date::sys_days first = date::year{2001} / 1 / 1;
    for (int d = 0; d < 900; ++d) {
      stamps.push_back(first + date::days{d} + hour);
      const bool gap = d >= 31 && d < 59;  // February 2001: no observed value
      o.push_back(gap ? -999 : 10 + 5 * std::sin(d * 0.05) + (d % 7));
      p.push_back(o.back() == -999 ? 12 : o.back() * 0.9 + (d % 3));
      q.push_back(o.back() == -999 ? 11 : o.back() + (d % 5) - 2);
    }
    const std::vector<std::span<const double>> models = {p, q};
    const std::vector<std::span<const double>> benchmarks = {o};
    const std::vector<FigureGroup> observed_groups = {BasicFigures()};
    const std::vector<FigureGroup> model_groups = {BasicFigures(), ErrorFigures(false)};
    const SeriesName observed{1, "obs"};
    const std::vector<SeriesName> names = {{2, "p"}, {3, "q"}};
    const std::vector<std::string> benchmark_names = {"obs"};
    const SpanSetup setup{.observed_groups = observed_groups,
                          .model_groups = model_groups,
                          .results_text = false,
                          .result_format = {},
                          .aic_bic = false,
                          .date_only = hour.count() == 0,
                          .threads = 1};
    TimedOptions options;
    options.by = PeriodGroupingOf("month");
    const TimedEvaluation kept = EvaluateOverTime(o, models, benchmarks, stamps, options);
    TimeFigures afterwards;
    CollectTimeFigures(kept, observed, names, benchmark_names, setup, afterwards);

    TimeFigures as_scored;
    SpanSetup told = setup;  // the collector reads the stamps themselves
    told.date_only = true;
    TimeFiguresCollector collector(observed, names, benchmark_names, told, as_scored);
    options.threads = 3;
    options.sink = &collector;
    const TimedEvaluation sunk = EvaluateOverTime(o, models, benchmarks, stamps, options);
    EXPECT_TRUE(sunk.periods.empty());
    collector.Finish(sunk.whole);

    ASSERT_EQ(as_scored.periods.size(), 30u);
    ASSERT_EQ(afterwards.periods.size(), as_scored.periods.size());
    EXPECT_FALSE(as_scored.periods[1].has_figures);
    EXPECT_EQ(as_scored.periods[0].start.size(), hour.count() == 0 ? 10u : 19u);
    EXPECT_EQ(Flat(as_scored.whole), Flat(afterwards.whole));
    for (std::size_t i = 0; i < as_scored.periods.size(); ++i) {
      EXPECT_EQ(Flat(as_scored.periods[i]), Flat(afterwards.periods[i])) << i;
    }
  }
}

}  // namespace
}  // namespace quelvaris
