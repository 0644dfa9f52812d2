#include "engine/basic_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace quelvaris::testing {
namespace {

class BasicStatsTest : public EngineTest {};

TEST_F(BasicStatsTest, MomentsOfOneTwoThreeFour) {
  FillColumn(1, {1, 2, 3, 4});
  FillColumn(2, {4, 3, 2, 1});
  CalcObservedStats(ctx);
  CalcModelledStats(ctx, 2);
  for (const SeriesStats* s : {&session.ObservedStats, &session.CurrentModelledStats}) {
    EXPECT_EQ(s->Mean, 2.5);
    EXPECT_TRUE(CloseTo(s->SD, std::sqrt(1.25)));
    EXPECT_TRUE(CloseTo(s->Skew, 0));
    EXPECT_TRUE(CloseTo(s->Kur, 1.64));
    EXPECT_EQ(s->Min, 1);
    EXPECT_EQ(s->Max, 4);
    EXPECT_EQ(s->Sum, 10);
  }
  const ModelledRecord& stored = session.ModelledStats[2];
  EXPECT_EQ(stored.Mean, 2.5);
  EXPECT_EQ(stored.Kur, session.CurrentModelledStats.Kur);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(BasicStatsTest, SkewedSeriesHasPositiveSkewness) {
  // Deviations -1, -1, -1, 3 from the mean 2: S2 12, S3 24, S4 84, SD sqrt(3).
  FillColumn(1, {1, 1, 1, 5});
  CalcObservedStats(ctx);
  EXPECT_TRUE(CloseTo(session.ObservedStats.Skew, 24 / (std::pow(3, 1.5) * 4)));
  EXPECT_TRUE(CloseTo(session.ObservedStats.Kur, 84 / (9.0 * 4)));
}

struct BoundsCase {
  bool apply;
  int missing;
  int out_of_bounds;
  double mean;
  double sum;
  double min;
  double max;
};

TEST_F(BasicStatsTest, BoundsAndMissingValuesDecideWhatIsUsable) {
  // A value on a bound is usable; the missing code is never a value.
  const std::vector<double> values = {5, 10, 11, -1, 0, 3, 7, -999};
  const std::vector<BoundsCase> cases = {
      {true, 1, 2, 5, 25, 0, 10},
      {false, 1, 0, 5, 35, -1, 11},
  };
  session.request.LowerBound = 0;
  session.request.UpperBound = 10;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.apply ? "bounds applied" : "no bounds");
    Switch(RunSwitch::ApplyBounds, c.apply);
    for (int column : {1, 2}) {
      FillColumn(column, values);
      if (column == 1) {
        CalcObservedStats(ctx);
      } else {
        CalcModelledStats(ctx, 2);
      }
      const SeriesStats& s = column == 1 ? session.ObservedStats : session.CurrentModelledStats;
      EXPECT_EQ(session.counters.MissingCount, c.missing);
      EXPECT_EQ(session.counters.OutOfBoundsCount, c.out_of_bounds);
      EXPECT_EQ(s.OOB, c.out_of_bounds);
      EXPECT_EQ(s.Mean, c.mean);
      EXPECT_EQ(s.Sum, c.sum);
      EXPECT_EQ(s.Min, c.min);
      EXPECT_EQ(s.Max, c.max);
    }
  }
}

TEST_F(BasicStatsTest, ThresholdCountsValuesStrictlyAbove) {
  session.request.Threshold = 10;
  FillColumn(1, {9, 10, 11, 12, -999});
  CalcObservedStats(ctx);
  EXPECT_EQ(session.ObservedStats.POT, 2);
}

TEST_F(BasicStatsTest, FewerThanFourUsableValuesChangeOnlySumExtremesAndPot) {
  session.CurrentModelledStats = {7, 7, 7, 7, 7, 7, 7, 7, 7};
  session.ModelledStats[2].Mean = 42;
  session.request.Threshold = 10;
  FillColumn(1, {1, 2, 3, 4});
  FillColumn(2, {9, 10, 11, -999});
  CalcModelledStats(ctx, 2);
  const SeriesStats& s = session.CurrentModelledStats;
  EXPECT_EQ(s.Sum, 30);
  EXPECT_EQ(s.Min, 9);
  EXPECT_EQ(s.Max, 11);
  EXPECT_EQ(s.POT, 1);
  EXPECT_EQ(s.Mean, 7);
  EXPECT_EQ(s.SD, 7);
  EXPECT_EQ(s.Skew, 7);
  EXPECT_EQ(s.OOB, 7);
  EXPECT_EQ(session.ModelledStats[2].Mean, 42);  // record not written
  EXPECT_EQ(session.counters.MissingCount, 1);
  EXPECT_TRUE(host.messages.shown.empty());
}

struct ExtremesCase {
  const char* what;
  int column;
  std::vector<double> values;
  double min;
  double max;
};

TEST_F(BasicStatsTest, MinimumAndMaximumAreTheTrueExtremes) {
  const std::vector<ExtremesCase> cases = {
      {"observed above 9999", 1, {10000, 20000, 15000, 12500}, 10000, 20000},
      {"modelled above 99999", 2, {100001, 200000, 150000, 125000}, 100001, 200000},
      {"all below -9999", 1, {-10000, -20000, -15000, -12500}, -20000, -10000},
      {"observed with nothing usable", 1, {-999, -999}, 9999, -9999},
      {"modelled with nothing usable", 2, {-999, -999}, 99999, -9999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FillColumn(c.column, c.values);
    if (c.column == 1) {
      CalcObservedStats(ctx);
    } else {
      CalcModelledStats(ctx, 2);
    }
    const SeriesStats& s = c.column == 1 ? session.ObservedStats : session.CurrentModelledStats;
    EXPECT_EQ(s.Min, c.min);
    EXPECT_EQ(s.Max, c.max);
  }
}

TEST_F(BasicStatsTest, ConstantSeriesIsValidWithUndefinedShapeFigures) {
  // 0.1 seven times: the sum divided by 7 is not exactly 0.1.
  for (double value : {5.0, 0.1, -3.25}) {
    SCOPED_TRACE(value);
    host.messages.shown.clear();
    session.ModelledStats[2] = {};
    FillColumn(1, {1, 2, 3, 4, 5, 6, 7});
    FillColumn(2, std::vector<double>(7, value));
    CalcModelledStats(ctx, 2);
    const SeriesStats& s = session.CurrentModelledStats;
    EXPECT_EQ(s.Mean, value);
    EXPECT_EQ(s.SD, 0);
    EXPECT_EQ(s.Skew, -999);
    EXPECT_EQ(s.Kur, -999);
    EXPECT_EQ(session.ModelledStats[2].Mean, value);
    EXPECT_EQ(session.ModelledStats[2].Skew, -999);
    EXPECT_EQ(session.ModelledStats[2].Max, value);
    EXPECT_TRUE(host.messages.shown.empty());
  }
}

TEST_F(BasicStatsTest, ModelledColumnIsJudgedByItsOwnValuesOnly) {
  FillColumn(1, {-999, 1, 2, 3, 4});
  FillColumn(2, {10, 20, 30, 40, -999});
  CalcModelledStats(ctx, 2);
  EXPECT_EQ(session.CurrentModelledStats.Mean, 25);
  EXPECT_EQ(session.counters.MissingCount, 1);
}

TEST_F(BasicStatsTest, OverflowIsReportedForItsColumnAndTheRecordIsKept) {
  session.ModelledStats[3].Mean = 42;
  FillColumn(1, {1, 2, 3, 4});
  FillColumn(3, {1e308, 1.5e308, 1e308, 1e308});
  CalcModelledStats(ctx, 3);
  ASSERT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(ErrorTexts()[0], ErrorBox("Overflow has occurred.", "Column 3."));
  EXPECT_EQ(session.ModelledStats[3].Mean, 42);
  EXPECT_EQ(host.pointer_resets, 1);  // CloseFiles ran
}

// The sum overflows part way: the figures stop at the faulting row, as a check after every step
// would leave them, and nothing from the rows after it shows up in the record or the counts.
TEST_F(BasicStatsTest, AnOverflowingSumEndsTheFiguresAtItsRow) {
  struct Reached {
    double min, max, sum;
    int pot, missing;
  };
  struct Case {
    const char* name;
    std::vector<double> values;
    Reached reached;
  };
  const std::vector<Case> cases = {
      {"negative run, larger values after it",
       {1, 2, -1e308, -1.5e308, 5, -1.7e308},
       {-1e308, 2, 3 + -1e308, 2, 0}},
      {"missing values before and after",
       {-999, 3, 1e308, -999, 1e308, -999, 50, 1.7e308},
       {3, 1e308, 3 + 1e308, 2, 2}},
      {"second value", {1.7e308, 1.7e308, 1.79e308, 1, 2}, {1.7e308, 1.7e308, 1.7e308, 1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.messages.shown.clear();
    session.ModelledStats[2].Max = 42;
    FillColumn(1, c.values);
    FillColumn(2, c.values);
    CalcObservedStats(ctx);
    CalcModelledStats(ctx, 2);
    EXPECT_EQ(ErrorTexts(),
              (std::vector<std::string>{ErrorBox("Overflow has occurred.", "Column 1."),
                                        ErrorBox("Overflow has occurred.", "Column 2.")}));
    for (const SeriesStats* s : {&session.ObservedStats, &session.CurrentModelledStats}) {
      EXPECT_EQ(s->Min, c.reached.min);
      EXPECT_EQ(s->Max, c.reached.max);
      EXPECT_EQ(s->Sum, c.reached.sum);
      EXPECT_EQ(s->POT, c.reached.pot);
    }
    EXPECT_EQ(session.counters.MissingCount, c.reached.missing);
    EXPECT_EQ(session.ModelledStats[2].Max, 42);
  }
}

}  // namespace
}  // namespace quelvaris::testing
