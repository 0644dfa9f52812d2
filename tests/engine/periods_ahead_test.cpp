// Periods scored while the rows of a file are still coming in.

#include "engine/periods_ahead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <date/date.h>

#include "engine/error_stats.h"

namespace quelvaris {
namespace {

// Keeps every period it is handed, and the order they came in.
class KeepingSink final : public PeriodSink {
 public:
  void Begin(std::size_t periods, std::span<const TimeStamp>) override { begun = periods; }
  void Take(std::size_t index, const ScoredSpan& period) override {
    const std::lock_guard<std::mutex> hold(lock);
    order.push_back(index);
    if (kept.size() <= index) kept.resize(index + 1);
    kept[index] = period;
  }
  // Waits (up to ten seconds) until `count` periods came.
  std::size_t WaitFor(std::size_t count) {
    for (int i = 0; i < 10000; ++i) {
      {
        const std::lock_guard<std::mutex> hold(lock);
        if (order.size() >= count) return order.size();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::lock_guard<std::mutex> hold(lock);
    return order.size();
  }

  std::mutex lock;
  std::size_t begun = 0;
  std::vector<std::size_t> order;
  std::vector<ScoredSpan> kept;
};

// Three years of daily rows from 1 January 2001 (36 months) with two models, a few values
// missing, as the reader leaves them.
BatchTable ThreeYears() {
  BatchTable t;
  t.time_column = 1;
  t.models.resize(2);
  const date::sys_days first = date::year{2001} / 1 / 1;
  for (date::sys_days d = first; d < first + date::days{1095}; d += date::days{1}) {
    const double i = static_cast<double>(t.rows++);
    t.times.push_back(date::format("%F", d));
    t.observed.push_back(t.rows % 97 == 0 ? -999 : 20 + 10 * std::sin(i / 58) + std::fmod(i, 7));
    t.models[0].push_back(t.observed.back() == -999 ? 18 : t.observed.back() * 0.9 + 1);
    t.models[1].push_back(t.rows % 61 == 0 ? -999 : 21 + 9 * std::sin(i / 60));
  }
  return t;
}

void ExpectSameFigures(const ScoredSpan& a, const ScoredSpan& b) {
  EXPECT_EQ(a.period.label, b.period.label);
  EXPECT_EQ(a.period.rows, b.period.rows);
  ASSERT_EQ(a.evaluation.models.size(), b.evaluation.models.size());
  for (std::size_t m = 0; m < a.evaluation.models.size(); ++m) {
    const ErrorStats& x = a.evaluation.models[m].errors;
    const ErrorStats& y = b.evaluation.models[m].errors;
    EXPECT_EQ(x.undefined, y.undefined);
    for (const ErrorStatField& f : kErrorStatFields) {
      EXPECT_EQ(std::memcmp(&(x.*f.field), &(y.*f.field), sizeof(double)), 0) << f.label;
    }
    const ExtendedStats& u = a.evaluation.models[m].extended;
    const ExtendedStats& v = b.evaluation.models[m].extended;
    for (std::size_t k = 0; k < u.size(); ++k) {
      EXPECT_EQ(u[k].defined, v[k].defined);
      EXPECT_EQ(std::memcmp(&u[k].value, &v[k].value, sizeof(double)), 0) << k;
    }
  }
}

TEST(PeriodsAheadTest, PeriodsScoredAsTheRowsComeInAreTheEvaluationsOwn) {
  const BatchTable table = ThreeYears();
  TimeSetup setup;
  setup.time = "date";
  setup.by = PeriodGrouping{PeriodKind::Month};
  ASSERT_TRUE(PeriodsAhead::Applies(setup));
  EvaluationOptions evaluation;
  evaluation.extended = true;

  KeepingSink early;
  PeriodsAhead ahead(setup, evaluation, [&](const BatchTable&) -> PeriodSink& { return early; });
  ahead.Start(table);
  ahead.Rows(400);  // into February 2002: 13 months are complete
  EXPECT_EQ(early.WaitFor(13), 13u);
  ahead.Rows(table.rows);  // every row: all but the last month are complete
  EXPECT_EQ(early.WaitFor(35), 35u);
  ahead.Stop();
  ASSERT_EQ(ahead.taken().size(), 35u);
  std::vector<std::size_t> in_turn(35);
  for (std::size_t i = 0; i < in_turn.size(); ++i) in_turn[i] = i;
  EXPECT_EQ(early.order, in_turn);
  EXPECT_EQ(early.begun, 0u);

  std::vector<TimeStamp> stamps;
  TimeStampReader reader;
  for (const std::string& t : table.times) stamps.push_back(*reader.Read(t));
  const std::vector<std::span<const double>> models(table.models.begin(), table.models.end());
  TimedOptions options;
  options.evaluation = evaluation;
  options.by = setup.by;
  options.threads = 2;
  const TimedEvaluation all = EvaluateOverTime(table.observed, models, {}, stamps, options);
  ASSERT_EQ(all.periods.size(), 36u);
  for (std::size_t p = 0; p < 35; ++p) ExpectSameFigures(early.kept[p], all.periods[p]);

  // Handed the periods taken, the evaluation scores the last month alone.
  KeepingSink rest;
  options.sink = &rest;
  options.taken = ahead.taken();
  EvaluateOverTime(table.observed, models, {}, stamps, options);
  EXPECT_EQ(rest.begun, 36u);
  EXPECT_EQ(rest.order, std::vector<std::size_t>{35});
  ExpectSameFigures(rest.kept[35], all.periods[35]);
}

TEST(PeriodsAheadTest, AStampThatDoesNotReadEndsTheWorkAheadAndSomeRunsNeverHaveAny) {
  BatchTable table = ThreeYears();
  table.times[500] = "2002-13-45";  // row 500 falls in May 2002
  TimeSetup setup;
  setup.time = "date";
  setup.by = PeriodGrouping{PeriodKind::Month};
  const EvaluationOptions evaluation;
  KeepingSink sink;
  {
    PeriodsAhead ahead(setup, evaluation, [&](const BatchTable&) -> PeriodSink& { return sink; });
    ahead.Start(table);
    ahead.Rows(table.rows);
    EXPECT_EQ(sink.WaitFor(16), 16u);  // January 2001 to April 2002
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ahead.Stop();
    EXPECT_EQ(ahead.taken().size(), 16u);
  }

  // Told of no row, or never started, it stops at once; a pooled grouping, a window or a
  // benchmark is never scored ahead.
  {
    PeriodsAhead idle(setup, evaluation, [&](const BatchTable&) -> PeriodSink& { return sink; });
  }
  for (const auto& change : std::vector<std::function<void(TimeSetup&)>>{
           [](TimeSetup& s) { s.by = PeriodGrouping{PeriodKind::MonthOfYear}; },
           [](TimeSetup& s) { s.window.skip = 3; },
           [](TimeSetup& s) { s.benchmarks.push_back({}); },
           [](TimeSetup& s) { s.by.reset(); },
       }) {
    TimeSetup other = setup;
    change(other);
    EXPECT_FALSE(PeriodsAhead::Applies(other));
  }
}

}  // namespace
}  // namespace quelvaris
