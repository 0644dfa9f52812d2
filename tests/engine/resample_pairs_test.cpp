#include "engine/resample_pairs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/extended_stats.h"

namespace quelvaris::testing {
namespace {

constexpr double kMissing = -999;

// The resample laid out row by row as the bootstrap used to do it: the runs end to end, a
// missing-data row between two, rows past a series' end missing.
std::vector<double> LaidOut(const std::vector<double>& series, const std::vector<RowRun>& runs) {
  std::vector<double> out;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (r > 0) out.push_back(kMissing);
    for (std::int64_t i = runs[r].start; i < runs[r].start + runs[r].length; ++i) {
      const auto row = static_cast<std::size_t>(i);
      out.push_back(row < series.size() ? series[row] : kMissing);
    }
  }
  return out;
}

// The figures of a resample's pairs are those of the resample laid out, bit for bit: flows
// rounded to whole numbers (ties within and across the series, zeros), gaps in either series,
// a model shorter than the record, bounds that drop rows, runs that repeat rows, overlap and
// reach past the end.
TEST(ResamplePairs, FiguresAreThoseOfTheResampleLaidOut) {
  std::mt19937_64 gen(5);
  const auto draw = [&gen](int below) {
    return static_cast<int>(gen() % static_cast<unsigned>(below));
  };
  const std::size_t rows = 700;
  std::vector<std::vector<double>> series(5);  // observed, then the models
  for (std::size_t i = 0; i < rows; ++i) {
    const double o = std::round(20 + 15 * std::sin(static_cast<double>(i) / 30)) + draw(3);
    series[0].push_back(i % 37 == 5 ? kMissing : o);
    series[1].push_back(o + draw(5) - 2);                         // no gap of its own
    series[2].push_back(i % 23 == 0 ? kMissing : o + draw(9));    // gaps of its own
    if (i < rows - 90) series[3].push_back(std::round(o * 0.8));  // shorter
    series[4].push_back(draw(4) == 0 ? 0 : o - draw(30));         // zeros and negatives
  }
  const std::vector<std::span<const double>> models(series.begin() + 1, series.end());
  PairRule plain;
  PairRule bounded;
  bounded.apply_bounds = true;
  bounded.lower = 1;
  bounded.upper = 40;
  std::vector<std::vector<RowRun>> resamples = {
      {{0, 700}},
      {{10, 50}, {10, 50}, {600, 150}, {0, 1}},
      {{690, 5}, {3, 2}, {3, 4}},
  };
  for (int k = 0; k < 20; ++k) {
    std::vector<RowRun>& runs = resamples.emplace_back();
    for (int b = 0; b < 1 + draw(30); ++b) runs.push_back({draw(700), 1 + draw(60)});
  }
  for (const PairRule& rule : {plain, bounded}) {
    const RecordPairs record(series[0], models, rule);
    RecordPairs::Room room;
    ExtendedRoom figures_room;
    for (std::size_t r = 0; r < resamples.size(); ++r) {
      const std::vector<RowRun>& runs = resamples[r];
      std::vector<std::vector<double>> laid;
      for (const std::vector<double>& s : series) laid.push_back(LaidOut(s, runs));
      const std::vector<ExtendedStats> expected =
          ExtendedStatsOfModels(laid[0], {laid.begin() + 1, laid.end()}, rule);
      record.Begin(runs, room);
      figures_room.NewRun();
      for (std::size_t m = 0; m < models.size(); ++m) {
        record.Pairs(m, room);
        const ExtendedStats got = ExtendedStatsOfPairs(room.series, figures_room);
        for (std::size_t f = 0; f < kExtendedStatCount; ++f) {
          const ExtendedFigure& want = expected[m][f];
          EXPECT_EQ(got[f].defined, want.defined) << r << " " << m << " " << want.key;
          if (want.defined && got[f].defined) {
            EXPECT_EQ(got[f].value, want.value) << r << " " << m << " " << want.key;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace quelvaris::testing
