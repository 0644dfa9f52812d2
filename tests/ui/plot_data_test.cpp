#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/analysis_session.h"
#include "settings/global_settings.h"
#include "ui/plot/plot_data.h"

namespace quelvaris::ui {
namespace {

constexpr double M = -999;  // the missing-data code of these cases

// Observed in column 1, then the given modelled columns (2, 3, ...), one vector per column.
PlotData Table(std::vector<std::vector<double>> values) {
  PlotData data;
  for (std::size_t i = 0; i < values.size(); ++i) data.columns.push_back(static_cast<int>(i) + 1);
  data.values = std::move(values);
  return data;
}

std::vector<std::vector<double>> RowsOf(const std::vector<std::vector<QPointF>>& runs) {
  std::vector<std::vector<double>> rows;
  for (const auto& run : runs) {
    rows.emplace_back();
    for (const QPointF& p : run) rows.back().push_back(p.x());
  }
  return rows;
}

TEST(PlotDataTest, MissingValuesSplitASeriesIntoRunsAndNeverBecomePoints) {
  struct Case {
    std::vector<double> values;
    double missing_code;
    std::vector<std::vector<double>> rows;  // the rows of each run
  };
  const Case cases[] = {
      {{1, 2, 3}, M, {{1, 2, 3}}},
      {{1, 2, M, 4, 5}, M, {{1, 2}, {4, 5}}},
      {{M, 2, 3, M}, M, {{2, 3}}},
      {{1, M, M, M, 5, 6}, M, {{1}, {5, 6}}},
      {{M, M}, M, {}},
      {{}, M, {}},
      // Only the code in use marks a gap: -999 is an ordinary value under another code.
      {{-999, 0, 7}, 0, {{1}, {3}}},
  };
  for (const Case& c : cases) {
    PlotData data = Table({c.values});
    data.missing_code = c.missing_code;
    const auto runs = ContiguousRuns(data, 1);
    EXPECT_EQ(RowsOf(runs), c.rows);
    for (const auto& run : runs) {
      for (const QPointF& p : run) {
        EXPECT_NE(p.y(), c.missing_code);
        EXPECT_EQ(p.y(), c.values[static_cast<std::size_t>(p.x()) - 1]);
      }
    }
  }
}

TEST(PlotDataTest, ScatterPairsAreExactlyThoseTheStatisticsUse) {
  struct Case {
    bool bounds;
    std::vector<QPointF> pairs;
  };
  //                     row:  1   2   3    4   5    6   7
  const std::vector<double> o{5, M, 8, 50, 3, 0.5, 6};
  const std::vector<double> p{6, 4, M, 7, 99, 2, 10};
  const Case cases[] = {
      {false, {{5, 6}, {50, 7}, {3, 99}, {0.5, 2}, {6, 10}}},
      // Bounds 1..10 also drop the pairs with either value outside them; 10 is on a bound.
      {true, {{5, 6}, {6, 10}}},
  };
  for (const Case& c : cases) {
    PlotData data = Table({o, p});
    data.apply_bounds = c.bounds;
    data.lower = 1;
    data.upper = 10;
    const std::vector<QPointF> pairs = UsablePairs(data, 2);
    EXPECT_EQ(pairs, c.pairs) << "bounds " << c.bounds;
    // Out-of-bounds marks only when bounds apply: rows 4 (50) and 6 (0.5) of the observed.
    EXPECT_EQ(OutOfBoundsPoints(data, 1).size(), c.bounds ? 2u : 0u);
  }
  EXPECT_TRUE(UsablePairs(Table({o, p}), 3).empty());  // a column the run did not analyse
}

TEST(PlotDataTest, DurationCurveIsTheUsableValuesDescendingOverZeroToHundredPercent) {
  std::mt19937 rng(7);
  std::lognormal_distribution<double> flow(2, 1);
  std::vector<double> values(500);
  for (double& v : values) v = flow(rng);
  for (std::size_t i = 0; i < values.size(); i += 37) values[i] = M;
  for (const bool bounds : {false, true}) {
    PlotData data = Table({values});
    data.apply_bounds = bounds;
    data.lower = 2;
    data.upper = 40;
    std::vector<double> usable;
    for (double v : values) {
      if (v != M && (!bounds || (v >= 2 && v <= 40))) usable.push_back(v);
    }
    const std::vector<QPointF> curve = DurationCurve(data, 1);
    ASSERT_EQ(curve.size(), usable.size());
    std::vector<double> plotted;
    for (std::size_t i = 0; i < curve.size(); ++i) {
      EXPECT_GT(curve[i].x(), 0);
      EXPECT_LT(curve[i].x(), 100);
      if (i > 0) {
        EXPECT_GT(curve[i].x(), curve[i - 1].x());
        EXPECT_LE(curve[i].y(), curve[i - 1].y());
      }
      plotted.push_back(curve[i].y());
    }
    std::sort(usable.begin(), usable.end());
    std::sort(plotted.begin(), plotted.end());
    EXPECT_EQ(plotted, usable);
    // Weibull: the largest of n is exceeded with probability 1 / (n + 1).
    EXPECT_DOUBLE_EQ(curve.front().x(), 100.0 / static_cast<double>(usable.size() + 1));
  }
}

TEST(PlotDataTest, DecimationKeepsPeaksTroughsAndEndsWithinItsBudget) {
  std::mt19937 rng(11);
  std::normal_distribution<double> noise(0, 1);
  std::vector<QPointF> points;
  for (int i = 1; i <= 10000; ++i) points.emplace_back(i, noise(rng));
  points[4321].setY(50);   // a single-row flood peak
  points[8765].setY(-50);  // and a single-row trough

  struct Case {
    double from, to;
    int buckets;
  };
  const Case cases[] = {{1, 10000, 800}, {1, 10000, 37}, {4000, 5000, 200}, {4300, 4340, 100}};
  for (const Case& c : cases) {
    const std::vector<QPointF> kept = Decimate(points, c.from, c.to, c.buckets);
    ASSERT_FALSE(kept.empty());
    EXPECT_LE(kept.size(), 2u * static_cast<std::size_t>(c.buckets) + 2);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
    // The line reaches both edges of the visible range.
    EXPECT_LE(kept.front().x(), c.from);
    EXPECT_GE(kept.back().x(), std::min(c.to, 10000.0));
    auto has = [&](int row) {
      return std::any_of(kept.begin(), kept.end(), [&](const QPointF& p) {
        return p == points[static_cast<std::size_t>(row)];
      });
    };
    if (c.from <= 4322 && c.to >= 4322) {
      EXPECT_TRUE(has(4321));
    }
    if (c.from <= 8766 && c.to >= 8766) {
      EXPECT_TRUE(has(8765));
    }
    for (const QPointF& p : kept) {
      EXPECT_EQ(p, points[static_cast<std::size_t>(p.x()) - 1]);  // thinned, never invented
    }
  }
  // Few enough points: all of them, untouched.
  const std::vector<QPointF> few(points.begin(), points.begin() + 50);
  EXPECT_EQ(Decimate(few, 1, 50, 30), few);
}

TEST(PlotDataTest, PlotDataCopiesTheRunsRowsAndAnalysedColumns) {
  auto session = std::make_unique<AnalysisSession>();
  GlobalSettings settings;
  settings.GlobalMissingCode = -1;
  session->counters.RowCount = 3;
  session->request.Threshold = 4;
  for (int c = 1; c <= 5; ++c) {
    for (int r = 1; r <= 4; ++r) session->table.Set(r, c, 10 * c + r);
  }
  const PlotData one = MakePlotData(*session, settings, true, 3, 3);
  EXPECT_EQ(one.columns, (std::vector<int>{1, 3}));
  EXPECT_EQ(one.Values(1), (std::vector<double>{11, 12, 13}));  // row 4 is not the run's
  EXPECT_EQ(one.Values(3), (std::vector<double>{31, 32, 33}));
  EXPECT_TRUE(one.Values(2).empty());
  EXPECT_EQ(one.missing_code, -1);
  EXPECT_TRUE(one.apply_bounds);
  EXPECT_EQ(one.threshold, 4);
  EXPECT_EQ(MakePlotData(*session, settings, false, 2, 5).columns,
            (std::vector<int>{1, 2, 3, 4, 5}));
  // The header's names go with their columns; a column it left unnamed has none.
  session->names[1] = "obs";
  session->names[3] = "lag 2";
  const PlotData named = MakePlotData(*session, settings, false, 2, 4);
  EXPECT_EQ(named.Name(1), "obs");
  EXPECT_EQ(named.Name(2), "");
  EXPECT_EQ(named.Name(3), "lag 2");
  EXPECT_EQ(named.Name(5), "");  // not analysed
}

}  // namespace
}  // namespace quelvaris::ui
