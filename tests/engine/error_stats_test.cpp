#include "engine/error_stats_calc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/basic_stats.h"
#include "engine_fixture.h"

namespace quelvaris::testing {
namespace {

constexpr double kMissing = -999;

class ErrorStatsTest : public EngineTest {
 protected:
  // Both series into the table, then the statistics in the run's order.
  const ErrorStats& Compute(const std::vector<double>& observed,
                            const std::vector<double>& modelled) {
    FillColumn(1, observed);
    FillColumn(2, modelled);
    CalcObservedStats(ctx);
    CalcModelledStats(ctx, 2);
    CalcErrorStats(ctx, 2);
    return session.Errors[2];
  }
};

TEST_F(ErrorStatsTest, WorkedExample) {
  const ErrorStats& e = Compute({10, 20, 30, 40}, {12, 18, 33, 40});
  const double obs_sd = std::sqrt(125.0);
  const double mod_sd = std::sqrt(504.75 / 4);
  const double r = 495 / std::sqrt(500 * 504.75);
  const double alpha = mod_sd / obs_sd;
  const double msle =
      (std::pow(std::log(10.0) - std::log(12.0), 2) + std::pow(std::log(20.0) - std::log(18.0), 2) +
       std::pow(std::log(30.0) - std::log(33.0), 2)) /
      4;
  const double kge = 1 - std::sqrt((r - 1) * (r - 1) + (alpha - 1) * (alpha - 1) + 0.03 * 0.03);

  struct Figure {
    const char* name;
    double actual;
    double expected;
  };
  const std::vector<Figure> figures = {
      {"RMSE", e.RMSE, std::sqrt(4.25)},
      {"MSRE", e.MSRE, 0.015},
      {"RSqr", e.RSqr, r * r},
      {"CorrelCoeff", e.CorrelCoeff, r},
      {"CofE", e.CofE, 0.966},
      {"IoAd", e.IoAd, 1 - 17.0 / 1997},
      {"AME", e.AME, 3},
      {"PDIFF", e.PDIFF, 0},
      {"MAE", e.MAE, 1.75},
      {"ME", e.ME, 0.75},
      {"R4MS4E", e.R4MS4E, std::pow(113.0 / 4, 0.25)},
      {"NSC", e.NSC, 2},
      {"RAE", e.RAE, 0.175},
      {"PEP", e.PEP, 0},
      {"MARE", e.MARE, 0.1},
      {"MRE", e.MRE, 0.05},
      {"RVE", e.RVE, 0.03},
      {"PI", e.PI, 1 - 13.0 / 300},
      {"MSLE", e.MSLE, msle},
      {"MSDE", e.MSDE, 25},
      {"VE", e.VE, 0.93},
      {"KGE", e.KGE, kge},
      {"MdAPE", e.MdAPE, 10},
      {"IRMSE", e.IRMSE, kMissing},  // three changes only
      {"AIC", e.AIC, kMissing},      // no parameters given
      {"BIC", e.BIC, kMissing},
  };
  for (const auto& f : figures) {
    EXPECT_NEAR(f.actual, f.expected, 5e-7) << f.name;
  }
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, NoUsablePairLeavesFiguresUndefined) {
  const ErrorStats& e = Compute({10, 20, 30, 40}, {kMissing, kMissing, kMissing, kMissing});
  for (double v : {e.RMSE, e.MAE, e.R4MS4E, e.MSRE, e.MARE, e.MRE, e.CofE, e.IoAd, e.RAE, e.RVE,
                   e.MSLE, e.RSqr, e.KGE, e.PI, e.MSDE, e.MdAPE, e.IRMSE, e.AIC, e.BIC}) {
    EXPECT_EQ(v, kMissing);
  }
  EXPECT_EQ(e.CorrelCoeff, 0);
  EXPECT_EQ(e.ME, 0);
  EXPECT_EQ(e.AME, -9999);
  EXPECT_EQ(e.VE, 1);
  EXPECT_EQ(e.NSC, -1);
  EXPECT_EQ(e.PDIFF, 0 - 40);  // the modelled record was never written: 0
  EXPECT_EQ(e.PEP, -100);
  EXPECT_EQ(session.counters.MissingCount, 4);
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, UndefinedFiguresAreMarkedAndNeverGuessedFromTheCode) {
  using F = double ErrorStats::*;
  struct Case {
    const char* what;
    double missing_code;
    std::vector<double> observed;
    std::vector<double> modelled;
    std::vector<F> undefined;  // every other error figure must be defined
    std::uint8_t modelled_undefined;
  };
  const std::vector<F> no_criteria = {&ErrorStats::AIC, &ErrorStats::BIC};
  const auto with_criteria = [&](std::vector<F> fields) {
    fields.insert(fields.end(), no_criteria.begin(), no_criteria.end());
    return fields;
  };
  std::vector<F> every;
  for (const auto& f : kErrorStatFields) every.push_back(f.field);
  const std::vector<Case> cases = {
      {"four pairs",
       kMissing,
       {10, 20, 30, 40},
       {12, 18, 33, 40},
       with_criteria({&ErrorStats::IRMSE}),
       0},
      {"no usable pair",
       kMissing,
       {10, 20, 30, 40},
       {kMissing, kMissing, kMissing, kMissing},
       every,
       kAllBasicFigures},
      {"constant model",
       kMissing,
       {10, 20, 30, 40},
       {7, 7, 7, 7},
       with_criteria(
           {&ErrorStats::CorrelCoeff, &ErrorStats::RSqr, &ErrorStats::KGE, &ErrorStats::IRMSE}),
       kSkewFigure | kKurFigure},
      // Errors of -2 throughout: an RMSE of 2 under the code 2 is a true RMSE.
      {"RMSE equal to the code", 2, {10, 12, 15, 11, 9}, {12, 14, 17, 13, 11}, no_criteria, 0},
      // A modelled SD of 1 under the code 1 still gives a Kling-Gupta efficiency.
      {"SD equal to the code",
       1,
       {10, 12, 11, 13},
       {2, 4, 2, 4},
       with_criteria({&ErrorStats::IRMSE}),
       0},
      // Three usable modelled values: the column's record is not this run's, nor is what is
      // built on it.
      {"too few modelled values",
       kMissing,
       {10, 20, 30, 40, 50},
       {12, kMissing, 33, 40, kMissing},
       with_criteria({&ErrorStats::CorrelCoeff, &ErrorStats::RSqr, &ErrorStats::KGE,
                      &ErrorStats::PDIFF, &ErrorStats::PEP, &ErrorStats::IRMSE, &ErrorStats::MSDE}),
       kAllBasicFigures},
  };
  for (const auto& c : cases) {
    settings.GlobalMissingCode = c.missing_code;
    session.ModelledStats[2] = {};
    const ErrorStats& e = Compute(c.observed, c.modelled);
    for (const auto& f : kErrorStatFields) {
      const bool expected =
          std::find(c.undefined.begin(), c.undefined.end(), f.field) != c.undefined.end();
      EXPECT_EQ((e.undefined & ErrorStatBit(f.field)) != 0, expected) << c.what << ": " << f.label;
    }
    EXPECT_EQ(session.ModelledStats[2].undefined, c.modelled_undefined) << c.what;
    EXPECT_EQ(session.ObservedStats.undefined, 0) << c.what;
    EXPECT_TRUE(ErrorTexts().empty()) << c.what;
  }
}

TEST_F(ErrorStatsTest, KlingGuptaOfAModelWhoseSpreadEqualsTheCode) {
  settings.GlobalMissingCode = 1;
  const ErrorStats& e = Compute({10, 12, 11, 13}, {2, 4, 2, 4});
  const ModelledRecord& mod = session.ModelledStats[2];
  const SeriesStats& obs = session.ObservedStats;
  ASSERT_EQ(mod.SD, 1);
  const double r = e.CorrelCoeff;
  const double alpha = mod.SD / obs.SD;
  const double beta = mod.Mean / obs.Mean;
  EXPECT_TRUE(CloseTo(e.KGE, 1 - std::sqrt((r - 1) * (r - 1) + (alpha - 1) * (alpha - 1) +
                                           (beta - 1) * (beta - 1))));
}

TEST_F(ErrorStatsTest, AllObservedZeroLeavesRelativeFiguresUndefined) {
  const ErrorStats& e = Compute({0, 0, 0, 0}, {1, 2, 3, 4});
  EXPECT_EQ(e.MSRE, kMissing);
  EXPECT_EQ(e.MARE, kMissing);
  EXPECT_EQ(e.MRE, kMissing);
  EXPECT_EQ(e.MdAPE, kMissing);
  EXPECT_EQ(e.MSLE, kMissing);  // no pair with both values positive
  EXPECT_EQ(e.RVE, kMissing);   // sum of O is not positive
  EXPECT_EQ(e.VE, kMissing);    // observed sum 0
  EXPECT_EQ(e.PEP, kMissing);   // observed maximum 0
  EXPECT_EQ(e.PDIFF, 4);
  EXPECT_TRUE(CloseTo(e.RMSE, std::sqrt(30.0 / 4)));
  EXPECT_EQ(e.MAE, 2.5);
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, ConstantObservedSeries) {
  const ErrorStats& e = Compute({5, 5, 5, 5}, {4, 6, 5, 7});
  EXPECT_EQ(e.CorrelCoeff, 0);
  EXPECT_EQ(e.RSqr, kMissing);
  EXPECT_EQ(e.KGE, kMissing);
  EXPECT_EQ(e.CofE, kMissing);
  EXPECT_EQ(e.RAE, kMissing);
  EXPECT_EQ(e.PI, kMissing);  // no observed change
  EXPECT_TRUE(CloseTo(e.RMSE, std::sqrt(6.0 / 4)));
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, LogErrorLeavesOutPairsWithANonPositiveValue) {
  const ErrorStats& e = Compute({10, 0, -5, 20, 30}, {12, 3, 4, -1, 30});
  const double l = std::log(10.0) - std::log(12.0);
  EXPECT_TRUE(CloseTo(e.MSLE, l * l / 2));
}

TEST_F(ErrorStatsTest, MissingAndOutOfBoundsRowsCountOncePerRow) {
  session.request.LowerBound = 0;
  session.request.UpperBound = 100;
  Switch(RunSwitch::ApplyBounds, true);
  Compute({kMissing, 1, 200, 500, 50, 10, 20, 30, 40},
          {kMissing, kMissing, 5, 500, -1, 12, 18, 33, 40});
  EXPECT_EQ(session.counters.MissingCount, 2);
  EXPECT_EQ(session.counters.OutOfBoundsCount, 3);
  EXPECT_NEAR(session.Errors[2].RMSE, std::sqrt(4.25), 1e-12);
}

TEST_F(ErrorStatsTest, SignChangesOfTheErrors) {
  struct Case {
    std::vector<double> errors;  // kMissing marks a missing row
    double nsc;
  };
  const std::vector<Case> cases = {
      {{2, -1, 0, -3, 4}, 2},
      {{0, 0, 0, 0}, -1},
      {{0, 3, 0, 0}, 0},
      {{-1, -2, -3, -4}, 0},
      {{1, -1, 1, -1}, 3},
      {{1, kMissing, -1, kMissing, -2, 3}, 2},  // the sign state crosses gaps
  };
  for (const auto& c : cases) {
    std::vector<double> observed;
    std::vector<double> modelled;
    for (std::size_t i = 0; i < c.errors.size(); ++i) {
      const double o = 100 + 10 * static_cast<double>(i);
      observed.push_back(o);
      modelled.push_back(c.errors[i] == kMissing ? kMissing : o - c.errors[i]);
    }
    EXPECT_EQ(Compute(observed, modelled).NSC, c.nsc) << "case " << (&c - cases.data());
  }
}

TEST_F(ErrorStatsTest, SequenceFiguresUseOnlyConsecutiveUsablePairs) {
  // Row 3 is missing: 20 -> 30 is no observed change. Consecutive pairs: rows 1-2, 4-5, 5-6.
  const ErrorStats& e = Compute({10, 20, kMissing, 30, 40, 50}, {12, 18, 5, 33, 40, 52});
  EXPECT_TRUE(CloseTo(e.PI, 1 - 8.0 / 300));
  EXPECT_TRUE(CloseTo(e.MSDE, (16.0 + 9 + 4) / 2));
  EXPECT_EQ(e.IRMSE, kMissing);  // three changes

  // Exactly two consecutive pairs: the divisor is 1; one pair: undefined.
  EXPECT_TRUE(CloseTo(Compute({10, 20, 30, 40}, {12, 18, 33, kMissing}).MSDE, 16 + 25));
  EXPECT_EQ(Compute({10, 20, 30, 40}, {12, 18, kMissing, 40}).MSDE, kMissing);
}

TEST_F(ErrorStatsTest, IrmseNeedsFourUnequalObservedChanges) {
  const std::vector<double> errors = {1, -1, 2, 0, -2};
  auto modelled_of = [&](const std::vector<double>& o) {
    std::vector<double> p;
    for (std::size_t i = 0; i < o.size(); ++i) p.push_back(o[i] - errors[i]);
    return p;
  };
  const std::vector<double> rising = {1, 2, 4, 7, 11};
  const ErrorStats& e = Compute(rising, modelled_of(rising));
  EXPECT_TRUE(CloseTo(e.IRMSE, std::sqrt(10.0 / 5) / std::sqrt(5.0 / 3)));

  const std::vector<double> even = {1, 2, 3, 4, 5};
  EXPECT_EQ(Compute(even, modelled_of(even)).IRMSE, kMissing);
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, MedianAbsolutePercentageError) {
  struct Case {
    std::vector<double> observed;
    std::vector<double> modelled;
    double mdape;
  };
  const std::vector<Case> cases = {
      {{100, 100, 100, 0}, {110, 150, 80, 7}, 20},     // 10, 50, 20
      {{100, 100, 100, 100}, {110, 150, 80, 60}, 30},  // 10, 50, 20, 40
      {{100, 200, 0, 0}, {110, 250, 7, 8}, kMissing},  // two entries only
      {{4, 5, 8, 10, 20}, {5, 5, 6, 13, 23}, 25},      // 25, 0, 25, 30, 15
      {{1, 2, 3, 4, 5, 6}, {1, 1, 3, 2, 5, 3}, 25},    // 0, 50, 0, 50, 0, 50
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(CloseTo(Compute(c.observed, c.modelled).MdAPE, c.mdape))
        << "case " << (&c - cases.data());
  }
}

TEST_F(ErrorStatsTest, MedianOfLongAndShortListsMatchesTheSortedMiddle) {
  // Long lists go through sampled selection; ties, sorted input and few distinct values are
  // where a bracket around the middle can miss, or short lists' ranks go wrong.
  std::uint64_t state = 12345;
  auto next = [&] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24);
  };
  struct Shape {
    const char* what;
    int rows;
    std::function<double(int)> modelled;  // of row i, observed is 100 throughout
  };
  const std::vector<Shape> shapes = {
      {"random odd", 4001, [&](int) { return 100 * next() + 50; }},
      {"random even", 4000, [&](int) { return 100 * next() + 50; }},
      {"rising", 3000, [](int i) { return 100 + i * 0.01; }},
      {"falling even", 2048, [](int i) { return 200 - i * 0.05; }},
      {"three values", 5000, [&](int) { return 90 + 10 * std::floor(3 * next()); }},
      {"all equal", 1500, [](int) { return 110; }},
      {"half equal", 3000, [&](int i) { return i % 2 ? 105 : 100 + 20 * next(); }},
      // Short lists (a month's rows) have their ranks counted.
      {"short odd", 31, [&](int) { return 100 * next() + 50; }},
      {"short even with ties", 30, [&](int) { return 90 + 10 * std::floor(3 * next()); }},
      {"shortest", 3, [](int i) { return 101 + i; }},
      {"sixty-four falling", 64, [](int i) { return 200 - i * 0.5; }},
      {"sixty-five equal", 65, [](int) { return 110; }},
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.what);
    std::vector<double> observed(static_cast<std::size_t>(shape.rows), 100);
    std::vector<double> modelled;
    std::vector<double> percentages;
    for (int i = 0; i < shape.rows; ++i) {
      modelled.push_back(shape.modelled(i));
      percentages.push_back(std::fabs((100 - modelled.back()) / 100) * 100);
    }
    std::sort(percentages.begin(), percentages.end());
    const std::size_t k = percentages.size() / 2;
    const double expected =
        percentages.size() % 2 ? percentages[k] : (percentages[k] + percentages[k - 1]) / 2;
    EXPECT_EQ(Compute(observed, modelled).MdAPE, expected);
  }
}

TEST_F(ErrorStatsTest, InformationCriteria) {
  // Errors of +-2 throughout: RMSE 2.
  const std::vector<double> observed = {10, 20, 30, 40};
  const std::vector<double> modelled = {12, 18, 32, 38};
  struct Case {
    int parms;
    int points;
    double aic;
    double bic;
  };
  const std::vector<Case> cases = {
      {3, 100, 100 * std::log(2.0) + 6, 3 * std::log(100.0) + 100 * std::log(2.0)},
      {0, 100, kMissing, kMissing},
      {3, 0, kMissing, kMissing},
      {-1, 100, kMissing, kMissing},
  };
  for (const auto& c : cases) {
    session.request.AICBICParms = static_cast<std::int16_t>(c.parms);
    session.request.AICBICPoints = static_cast<std::int16_t>(c.points);
    const ErrorStats& e = Compute(observed, modelled);
    EXPECT_EQ(e.RMSE, 2);
    EXPECT_TRUE(CloseTo(e.AIC, c.aic)) << c.parms << " " << c.points;
    EXPECT_TRUE(CloseTo(e.BIC, c.bic)) << c.parms << " " << c.points;
  }

  // 2 * p must fit 16 bits.
  session.request.AICBICParms = 20000;
  session.request.AICBICPoints = 100;
  Compute(observed, modelled);
  ASSERT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(ErrorTexts()[0], ErrorBox("Overflow has occurred.", "Column 2."));
}

// With a positive missing-data code an undefined RMSE holds a positive number, which must not
// be taken for a figure: every way of having no usable pair leaves AIC and BIC undefined.
TEST_F(ErrorStatsTest, UndefinedRmseNeverFeedsTheInformationCriteria) {
  struct Case {
    const char* name;
    double code;
    bool bounds;
    std::vector<double> observed;
    std::vector<double> modelled;
  };
  const std::vector<Case> cases = {
      {"model all missing", 999, false, {10, 20, 30, 40}, {999, 999, 999, 999}},
      {"model all missing, code 5", 5, false, {10, 20, 30, 40}, {5, 5, 5, 5}},
      {"gaps never on the same row", 5, false, {10, 5, 30, 5, 50, 60}, {5, 20, 5, 40, 5, 5}},
      {"model out of bounds", 5, true, {10, 20, 30, 40}, {200, 300, 400, 500}},
  };
  session.request.AICBICParms = 3;
  session.request.AICBICPoints = 100;
  session.request.LowerBound = 0;
  session.request.UpperBound = 100;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings.GlobalMissingCode = c.code;
    Switch(RunSwitch::ApplyBounds, c.bounds);
    const ErrorStats& e = Compute(c.observed, c.modelled);
    EXPECT_EQ(e.RMSE, c.code);
    EXPECT_EQ(e.AIC, c.code);
    EXPECT_EQ(e.BIC, c.code);
  }
  EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(ErrorStatsTest, FaultKeepsTheWholeRecordAndReportsTheColumn) {
  Compute({10, 20, 30, 40}, {12, 18, 33, 40});
  const ErrorStats before = session.Errors[2];
  host.messages.shown.clear();
  FillColumn(2, {-1e308, 1e308, -1e308, 1e308});
  FillColumn(1, {1e308, -1e308, 1e308, -1e308});
  CalcErrorStats(ctx, 2);
  ASSERT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(ErrorTexts()[0], ErrorBox("Overflow has occurred.", "Column 2."));
  EXPECT_EQ(session.Errors[2].RMSE, before.RMSE);
  EXPECT_EQ(session.Errors[2].BIC, before.BIC);
  EXPECT_EQ(host.pointer_resets, 1);
}

// A pair that overflows the sums ends the pass there: the counts are those reached before it.
TEST_F(ErrorStatsTest, AnOverflowLeavesTheCountsOfItsRow) {
  struct Case {
    bool bounds;
    std::vector<double> observed;
    std::vector<double> modelled;
    int missing, out_of_bounds;
  };
  const std::vector<Case> cases = {
      {false, {1, -999, 1e308, -999, 2, 3}, {1, 5, -1e308, 5, 2, 3}, 1, 0},
      {true, {1, -1.6e308, 1e308, -1.6e308, 2, -999}, {1, 5, -1e308, 5, 2, 3}, 0, 1},
  };
  session.request.LowerBound = -1.5e308;
  session.request.UpperBound = 1.5e308;
  for (const auto& c : cases) {
    host.messages.shown.clear();
    Switch(RunSwitch::ApplyBounds, c.bounds);
    FillColumn(1, c.observed);
    FillColumn(2, c.modelled);
    CalcErrorStats(ctx, 2);
    EXPECT_EQ(ErrorTexts(),
              std::vector<std::string>{ErrorBox("Overflow has occurred.", "Column 2.")});
    EXPECT_EQ(session.counters.MissingCount, c.missing);
    EXPECT_EQ(session.counters.OutOfBoundsCount, c.out_of_bounds);
  }
}

}  // namespace
}  // namespace quelvaris::testing
