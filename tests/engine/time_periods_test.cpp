#include "engine/time_periods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <date/date.h>

#include "engine/benchmark_series.h"
#include "engine/timed_evaluation.h"
#include "support/test_support.h"

namespace quelvaris::testing {
namespace {

using date::days;
using date::sys_days;

std::vector<TimeStamp> Daily(sys_days first, sys_days last) {
  std::vector<TimeStamp> stamps;
  for (sys_days d = first; d <= last; d += days{1}) stamps.push_back(d);
  return stamps;
}

constexpr auto ymd(int y, unsigned m, unsigned d) {
  return sys_days{date::year{y} / date::month{m} / date::day{d}};
}

TEST(TimePeriodsTest, LabelsRunsAndRowsOfEveryGrouping) {
  // 15 November 1990 to 10 January 1992, a week in June 1991 left out.
  std::vector<TimeStamp> stamps = Daily(ymd(1990, 11, 15), ymd(1991, 6, 9));
  const std::vector<TimeStamp> rest = Daily(ymd(1991, 6, 17), ymd(1992, 1, 10));
  stamps.insert(stamps.end(), rest.begin(), rest.end());
  struct Case {
    const char* by;
    std::vector<std::string> labels;  // first, second, last
    std::size_t periods;
    std::vector<std::int64_t> rows;  // of the first, second and last
    std::size_t first_runs;
  };
  const std::vector<Case> cases{
      {"year", {"1990", "1991", "1992"}, 3, {47, 358, 10}, 1},
      {"water-year", {"WY1991", "WY1992", "WY1992"}, 2, {320 - 7, 102, 102}, 1},
      {"water-year=1", {"WY1990", "WY1991", "WY1992"}, 3, {47, 358, 10}, 1},
      {"water-year=4", {"WY1991", "WY1992", "WY1992"}, 2, {137, 278, 278}, 1},
      {"season", {"1990-SON", "1991-DJF", "1992-DJF"}, 6, {16, 90, 41}, 1},
      {"month", {"1990-11", "1990-12", "1992-01"}, 15, {16, 31, 10}, 1},
      {"month-of-year", {"Jan", "Feb", "Dec"}, 12, {41, 28, 62}, 2},
      {"season-of-year", {"DJF", "MAM", "SON"}, 4, {90 + 41, 92, 16 + 91}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.by);
    const std::optional<PeriodGrouping> g = PeriodGroupingOf(c.by);
    ASSERT_TRUE(g);
    const std::vector<Period> p = PeriodsOf(stamps, {0, stamps.size()}, *g);
    ASSERT_EQ(p.size(), c.periods);
    EXPECT_EQ(p[0].label, c.labels[0]);
    EXPECT_EQ(p[1].label, c.labels[1]);
    EXPECT_EQ(p.back().label, c.labels[2]);
    EXPECT_EQ(p[0].rows, c.rows[0]);
    EXPECT_EQ(p[1].rows, c.rows[1]);
    EXPECT_EQ(p.back().rows, c.rows[2]);
    EXPECT_EQ(p[0].runs.size(), c.first_runs);
    std::int64_t all = 0;
    for (const Period& period : p) {
      all += period.rows;
      EXPECT_EQ(period.start, stamps[period.runs.front().first]);
      EXPECT_EQ(period.end, stamps[period.runs.back().end() - 1]);
    }
    EXPECT_EQ(all, static_cast<std::int64_t>(stamps.size()));
  }
  for (const char* wrong : {"years", "water-year=0", "water-year=13", "water-year=", "Month"}) {
    EXPECT_FALSE(PeriodGroupingOf(wrong)) << wrong;
  }
}

TEST(TimePeriodsTest, ClimatologiesAndPersistenceFromTheCalibrationRows) {
  // 27 Feb to 1 Mar of a leap year, then of a common year; the missing-data code once.
  std::vector<TimeStamp> stamps = Daily(ymd(2000, 2, 27), ymd(2000, 3, 1));
  const std::vector<TimeStamp> later = Daily(ymd(2001, 2, 27), ymd(2001, 3, 1));
  stamps.insert(stamps.end(), later.begin(), later.end());
  const std::vector<double> o{1, 2, 4, 8, 10, 20, -999};
  const SeriesRule rule;
  const RowRange all{0, o.size()};
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Daily, o, stamps, all, rule),
            (std::vector<double>{5.5, 26.0 / 3, 26.0 / 3, 8, 5.5, 26.0 / 3, 8}));  // 28 and 29 Feb
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Monthly, o, stamps, all, rule),
            (std::vector<double>{37.0 / 5, 37.0 / 5, 37.0 / 5, 8, 37.0 / 5, 37.0 / 5, 8}));
  // Calibrated on 2000 alone; 2001 gets 2000's climatology.
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Daily, o, stamps, {0, 4}, rule),
            (std::vector<double>{1, 3, 3, 8, 1, 3, 8}));
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Mean, o, stamps, {0, 4}, rule),
            (std::vector<double>(7, 15.0 / 4)));
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Mean, o, stamps, {0, 3}, rule),
            (std::vector<double>(7, -999)));  // fewer than 4 values: no mean
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Persistence, o, stamps, all, rule),
            (std::vector<double>{-999, 1, 2, 4, 8, 10, 20}));
  EXPECT_EQ(BenchmarkSeriesOf(BenchmarkKind::Monthly, o, stamps, {4, 2}, rule),
            (std::vector<double>{15, 15, 15, -999, 15, 15, -999}));  // no March to calibrate on
}

// Every period's figures are those of Evaluate on rows the test picks by their calendar month;
// the skill over the mean is NSE's skill score worked out from the two figures.
TEST(TimePeriodsTest, PooledFiguresAndSkillComeFromTheRowsOfThePeriod) {
  const std::vector<TimeStamp> stamps = Daily(ymd(1991, 1, 1), ymd(1993, 12, 31));
  std::vector<double> o;
  std::vector<double> p;
  for (std::size_t i = 0; i < stamps.size(); ++i) {
    const double season = std::sin(static_cast<double>(i) * 2 * M_PI / 365.25);
    o.push_back(20 + 10 * season + std::fmod(static_cast<double>(i * 7919 % 97), 5.0));
    p.push_back(i % 50 == 0 ? -999 : 21 + 9 * season);
  }
  const std::vector<double> mean =
      BenchmarkSeriesOf(BenchmarkKind::Mean, o, stamps, {0, stamps.size()}, SeriesRule{});
  TimedOptions options;
  options.by = PeriodGroupingOf("month-of-year");
  const TimedEvaluation timed = EvaluateOverTime(o, {p}, {mean}, stamps, options);
  ASSERT_EQ(timed.periods.size(), 12u);
  for (unsigned month = 1; month <= 12; ++month) {
    const ScoredSpan& span = timed.periods[month - 1];
    std::vector<double> po;
    std::vector<double> pp;
    for (std::size_t i = 0; i < stamps.size(); ++i) {
      if (date::year_month_day{date::floor<days>(stamps[i])}.month() == date::month{month}) {
        po.push_back(o[i]);
        pp.push_back(p[i]);
      }
    }
    EvaluationOptions with_extended;
    with_extended.extended = true;
    const Evaluation alone = Evaluate(po, {pp}, with_extended);
    ASSERT_EQ(span.evaluation.models.size(), 2u);
    EXPECT_EQ(span.period.rows, static_cast<std::int64_t>(po.size()));
    const ModelEvaluation& m = span.evaluation.models[0];
    EXPECT_EQ(m.errors.CofE, alone.models[0].errors.CofE);
    EXPECT_EQ(m.errors.PI, alone.models[0].errors.PI);
    EXPECT_EQ(m.errors.MdAPE, alone.models[0].errors.MdAPE);
    EXPECT_EQ(m.errors.MSLE, alone.models[0].errors.MSLE);
    EXPECT_EQ(FigureOf(m.extended, ExtendedStat::Kge2012).value,
              FigureOf(alone.models[0].extended, ExtendedStat::Kge2012).value);
  }
  const ScoredSpan& whole = timed.whole;
  const double nse = whole.evaluation.models[0].errors.CofE;
  const double nse_b = whole.evaluation.models[1].errors.CofE;
  const double rmse = whole.evaluation.models[0].errors.RMSE;
  const double rmse_b = whole.evaluation.models[1].errors.RMSE;
  const SkillScores& skill = whole.skill[0][0];
  ASSERT_TRUE(skill[0].defined);
  EXPECT_DOUBLE_EQ(skill[0].score, (nse - nse_b) / (1 - nse_b));
  EXPECT_NEAR(skill[0].score, nse, 1e-12);  // the mean benchmark's NSE is 0

  // With no thread to be had, a run asked for four still scores every period.
  options.threads = 4;
  const int refused = testing::ExitWithoutThreads([&] {
    const TimedEvaluation alone = EvaluateOverTime(o, {p}, {mean}, stamps, options);
    for (std::size_t k = 0; k < timed.periods.size(); ++k) {
      if (alone.periods[k].evaluation.models[0].errors.CofE !=
          timed.periods[k].evaluation.models[0].errors.CofE) {
        return 1;
      }
    }
    return alone.periods.size() == timed.periods.size() ? 0 : 2;
  });
  if (refused != -1) {
    EXPECT_EQ(refused, 0);
  }
  EXPECT_NEAR(nse_b, 0, 1e-12);
  EXPECT_DOUBLE_EQ(skill[4].score, 1 - rmse / rmse_b);
  EXPECT_EQ(skill[4].benchmark, rmse_b);
  // A perfect benchmark leaves no room for skill.
  const TimedEvaluation perfect = EvaluateOverTime(o, {p}, {o}, stamps, {});
  EXPECT_FALSE(perfect.whole.skill[0][0][0].defined);
  EXPECT_TRUE(perfect.whole.skill[0][0][0].benchmark_defined);
}

}  // namespace
}  // namespace quelvaris::testing
