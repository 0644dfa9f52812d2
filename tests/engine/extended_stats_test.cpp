#include "engine/extended_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace quelvaris::testing {
namespace {

constexpr double M = -999;
using S = ExtendedStat;
using Expected = std::optional<double>;  // nothing: the figure is undefined
constexpr std::nullopt_t kUndefined = std::nullopt;

std::string KeyOf(S stat) {
  return std::string(DefinitionOf(stat).key);
}

// Figures worked out by hand from their definitions, on small series.
struct Case {
  const char* name;
  std::vector<double> o;
  std::vector<double> p;
  std::vector<std::pair<S, Expected>> figures;
  bool bounds = false;  // 0 to 10 when applied
};

double Kge(double a, double b, double c) {
  return 1 - std::sqrt(a * a + b * b + c * c);
}

std::vector<Case> HandCases() {
  // O = 10, 20, 30, 40 and P = 12, 18, 33, 40: means 25 and 25.75, squared deviations 500 and
  // 504.75, cross products 495, all values distinct and in the same order.
  const double r = 495 / std::sqrt(500 * 504.75);
  const double alpha = std::sqrt(504.75 / 500);
  const double beta2021 = 0.75 / std::sqrt(500.0 / 3);
  const double alpha_np = 1 - 0.5 * (7.6 / 103);  // |12/103 - 10/100| + ... = 7.6 / 103
  auto nse = [](double (*f)(double), const std::vector<double>& o, const std::vector<double>& p) {
    double mean = 0;
    for (double v : o) mean += f(v) / static_cast<double>(o.size());
    double err = 0, dev = 0;
    for (std::size_t k = 0; k < o.size(); ++k) {
      err += (f(p[k]) - f(o[k])) * (f(p[k]) - f(o[k]));
      dev += (f(o[k]) - mean) * (f(o[k]) - mean);
    }
    return 1 - err / dev;
  };
  // e = 25 / 100 shifts both series of the worked example.
  const std::vector<double> o_shift = {10.25, 20.25, 30.25, 40.25};
  const std::vector<double> p_shift = {12.25, 18.25, 33.25, 40.25};
  auto log_of = [](double q) { return std::log(q); };
  auto inv_of = [](double q) { return 1 / q; };
  auto sqrt_of = [](double q) { return std::sqrt(q); };

  // O = 1..50 shuffled, P = O^2: the top 2 % is the largest value, the low segment the 15
  // smallest (k >= 0.7 * 51 = 35.7), the 20 % and 70 % flows the 10.2-th and 35.7-th largest.
  std::vector<double> o50, p50;
  for (int i = 0; i < 50; ++i) {
    const double v = (i * 17) % 50 + 1;
    o50.push_back(v);
    p50.push_back(v * v);
  }
  o50.push_back(1000);  // dropped with its missing modelled value, or it would lead both curves
  p50.push_back(M);
  const double o20 = 41 - 0.2, o70 = 16 - 0.7;
  const double p20 = 1681 + 0.2 * (1600 - 1681), p70 = 256 + 0.7 * (225 - 256);
  const double fms = 100 * ((std::log(p20 / p70)) - std::log(o20 / o70)) / std::log(o20 / o70);

  // Flows near 1e5 that differ by 0.01: their means, each rounded to 1.5e-11, differ by the
  // bias to 8 digits only. Differences of such close doubles are exact, so the expected figure
  // comes from the series moved down to 0.
  const std::vector<double> o_close = {1e5, 1e5 + 0.01, 1e5 + 0.03, 1e5 + 0.02, 1e5 + 0.05};
  const std::vector<double> p_close = {1e5 + 0.01, 1e5 + 0.03, 1e5 + 0.03, 1e5 + 0.04, 1e5 + 0.06};
  double beta_close = 0;
  {
    double bias = 0, low_mean = 0, low_dev2 = 0;
    for (std::size_t k = 0; k < o_close.size(); ++k) {
      bias += (p_close[k] - o_close[k]) / 5;
      low_mean += (o_close[k] - 1e5) / 5;
    }
    for (double v : o_close) low_dev2 += (v - 1e5 - low_mean) * (v - 1e5 - low_mean);
    beta_close = bias / std::sqrt(low_dev2 / 4);
  }

  return {
      {"worked example",
       {10, 20, 30, 40},
       {12, 18, 33, 40},
       {{S::Kge2009R, r},
        {S::Kge2009Alpha, alpha},
        {S::Kge2009Beta, 1.03},
        {S::Kge2009, Kge(r - 1, alpha - 1, 0.03)},
        {S::Kge2012Gamma, alpha / 1.03},
        {S::Kge2012, Kge(r - 1, alpha / 1.03 - 1, 0.03)},
        {S::Kge2021Beta, beta2021},
        {S::Kge2021, Kge(r - 1, alpha - 1, beta2021)},
        {S::KgeNp, Kge(0, alpha_np - 1, 0.03)},  // same order: Spearman's rs is 1
        {S::NseLog, nse(log_of, o_shift, p_shift)},
        {S::NseInv, nse(inv_of, o_shift, p_shift)},
        {S::NseSqrt, nse(sqrt_of, {10, 20, 30, 40}, {12, 18, 33, 40})},
        {S::Pbias, 3},
        {S::Dr, 1 - 7.0 / 80},    // A = 2 + 2 + 3 + 0, B = 2 * 40
        {S::FdcFhv, kUndefined},  // 4 flows: none at 2 % or less
        {S::FdcFlv, kUndefined},  // only the smallest flow at 70 % or more
        // 20 %: the largest of each, 40; 70 %: halfway between the 3rd and 4th largest, 15 for
        // both: the same slope.
        {S::FdcFms, 0}}},
      {"ties share their mean rank",
       {1, 2, 2, 3},
       {1, 3, 2, 2},
       // Ranks 1, 2.5, 2.5, 4 and 1, 4, 2.5, 2.5: rs = 2.25 / 4.5; Pearson's r is 1 / 2 too,
       // the spreads and means are equal and so are the sorted curves.
       {{S::KgeNp, 0.5}, {S::Kge2009R, 0.5}, {S::Kge2009, 0.5}, {S::Pbias, 0}}},
      {"duration curve signatures",
       o50,
       p50,
       {{S::FdcFhv, 100 * (2500.0 - 50) / 50},
        {S::FdcFlv, -100},  // sum of ln v^2 over the low segment is twice that of ln v
        {S::FdcFms, fms}}},
      {"bounds drop a row when either value is outside",
       {5, 11, 3, 7, 9, 10},
       {4, 5, 12, 8, 9, 0},
       // Pairs (5, 4), (7, 8), (9, 9), (10, 0): values on a bound are within.
       {{S::Pbias, 100 * (21.0 - 31) / 31}, {S::Dr, 1 - 12.0 / 14}},
       true},
      {"constant observed series",
       {0.1, 0.1, 0.1},  // a sum of 0.30000000000000004 must not pass for variability
       {1, 2, 3},
       {{S::Kge2009R, kUndefined},
        {S::Kge2009Alpha, kUndefined},
        {S::Kge2009Beta, 2 / 0.1},
        {S::Kge2009, kUndefined},
        {S::Kge2012Gamma, kUndefined},
        {S::Kge2021Beta, kUndefined},
        {S::KgeNp, kUndefined},
        {S::NseLog, kUndefined},
        {S::NseSqrt, kUndefined},
        {S::Pbias, 100 * (6 - 0.3) / 0.3},
        {S::Dr, -1}}},  // B = 0 < A: B / A - 1
      {"constant modelled series",
       {1, 2, 3},
       {2, 2, 2},
       {{S::Kge2009R, kUndefined},
        {S::Kge2009Alpha, 0},
        {S::Kge2009, kUndefined},
        {S::Kge2012Gamma, 0},
        {S::Kge2021Beta, 0},
        {S::Kge2021, kUndefined},
        {S::Pbias, 0},
        {S::Dr, 0.5}}},
      {"a constant series reproduced exactly",
       {5, 5, 5},
       {5, 5, 5},
       {{S::Dr, kUndefined}, {S::Pbias, 0}, {S::Kge2009Beta, 1}, {S::Kge2009, kUndefined}}},
      {"a zero flow keeps its logarithm through e",
       {0, 1, 2, 3},  // e = 1.5 / 100
       {1, 1, 2, 3},
       {{S::NseLog, nse(log_of, {0.015, 1.015, 2.015, 3.015}, {1.015, 1.015, 2.015, 3.015})},
        {S::NseInv, nse(inv_of, {0.015, 1.015, 2.015, 3.015}, {1.015, 1.015, 2.015, 3.015})},
        {S::NseSqrt, nse(sqrt_of, {0, 1, 2, 3}, {1, 1, 2, 3})},
        {S::FdcFlv, kUndefined},  // the smallest flow is 0
        // 70 %: halfway between 1 and 0 observed, 1 modelled.
        {S::FdcFms, 100 * (std::log(3.0) - std::log(6.0)) / std::log(6.0)}}},
      {"a negative observed flow",
       {-1, 1, 2, 3},  // e = 0.0125, -1 + e < 0
       {1, 1, 2, 3},
       {{S::NseLog, kUndefined},
        {S::NseInv, kUndefined},
        {S::NseSqrt, kUndefined},
        {S::Pbias, 100 * 2.0 / 5}}},
      {"a negative modelled flow above -e",
       {1, 2, 3, 4},  // e = 0.025
       {-0.01, 2, 3, 4},
       {{S::NseLog, nse(log_of, {1.025, 2.025, 3.025, 4.025}, {0.015, 2.025, 3.025, 4.025})},
        {S::NseSqrt, kUndefined}}},
      {"observed low flows all equal",
       // The smallest 3 of 10 flows form the low segment: 0.3 three times, whose logarithms
       // must not be told apart by rounding.
       {0.3, 0.3, 0.3, 1, 2, 3, 4, 5, 6, 7},
       {0.25, 0.35, 0.3, 1.1, 2.1, 2.9, 4.2, 5, 6.1, 7},
       {{S::FdcFlv, kUndefined}}},
      {"large flows close together", o_close, p_close, {{S::Kge2021Beta, beta_close}}},
      {"mean observed zero",
       {-1, 1, -2, 2},
       {-1, 2, -2, 1},
       {{S::Kge2009Beta, kUndefined},
        {S::Kge2009, kUndefined},
        {S::Kge2012Gamma, kUndefined},
        {S::Kge2021Beta, 0},  // the 2021 form is built for this
        {S::Kge2021, 0.9},    // cross products 9 over 10: r = 0.9, equal spreads
        {S::Pbias, kUndefined}}},
  };
}

void ExpectSame(const ExtendedStats& a, const ExtendedStats& b) {
  for (std::size_t i = 0; i < kExtendedStatCount; ++i) {
    EXPECT_EQ(a[i].defined, b[i].defined) << a[i].key;
    if (a[i].defined && b[i].defined) {
      EXPECT_EQ(a[i].value, b[i].value) << a[i].key;
    }
  }
}

ExtendedStats Compute(const Case& c) {
  PairRule rule;
  rule.missing_code = M;
  rule.apply_bounds = c.bounds;
  rule.lower = 0;
  rule.upper = 10;
  return ExtendedStatsOf(c.o, c.p, rule);
}

TEST(ExtendedStatsTest, HandComputedCases) {
  for (const Case& c : HandCases()) {
    const ExtendedStats stats = Compute(c);
    for (const auto& [stat, expected] : c.figures) {
      const ExtendedFigure& f = FigureOf(stats, stat);
      EXPECT_EQ(f.key, DefinitionOf(stat).key);
      if (!expected) {
        EXPECT_FALSE(f.defined) << c.name << ": " << KeyOf(stat) << " = " << f.value;
      } else {
        EXPECT_TRUE(f.defined) << c.name << ": " << KeyOf(stat);
        EXPECT_TRUE(CloseTo(f.value, *expected, 1e-12))
            << c.name << ": " << KeyOf(stat) << " = " << f.value << ", expected " << *expected;
      }
    }
  }
}

TEST(ExtendedStatsTest, FewerThanTwoPairsLeaveEveryFigureUndefined) {
  const std::vector<std::pair<std::vector<double>, std::vector<double>>> cases = {
      {{}, {}},
      {{5}, {6}},
      {{5, M, 7}, {6, 8, M}},
      {{M, M}, {1, 2}},
  };
  for (const auto& [o, p] : cases) {
    for (const ExtendedFigure& f : ExtendedStatsOf(o, p, PairRule{})) {
      EXPECT_FALSE(f.defined) << f.key << " with " << o.size() << " rows";
    }
  }
}

// A missing or out-of-bounds value in either column drops the whole row: the figures are those
// of the series with the row taken out of both.
TEST(ExtendedStatsTest, AGapInEitherColumnDropsTheRowFromBoth) {
  const std::vector<double> o = {12.6, 11.5, 10.8, 10.3, 9.7, 25.1, 48.0, 31.2, 20.4, 15.5};
  const std::vector<double> p = {12.7, 11.9, 11.0, 9.5, 9.5, 22.0, 51.3, 29.8, 21.0, 14.9};
  struct Gap {
    std::size_t row;
    bool in_observed;
  };
  const std::vector<std::vector<Gap>> gaps = {
      {{2, true}}, {{6, false}}, {{0, true}, {9, false}}, {{3, true}, {3, false}}};
  for (const auto& g : gaps) {
    std::vector<double> o_gap = o, p_gap = p, o_cut, p_cut;
    for (const Gap& gap : g) (gap.in_observed ? o_gap : p_gap)[gap.row] = M;
    for (std::size_t i = 0; i < o.size(); ++i) {
      if (o_gap[i] != M && p_gap[i] != M) {
        o_cut.push_back(o[i]);
        p_cut.push_back(p[i]);
      }
    }
    const ExtendedStats with_gaps = ExtendedStatsOf(o_gap, p_gap, PairRule{});
    const ExtendedStats cut = ExtendedStatsOf(o_cut, p_cut, PairRule{});
    ExpectSame(with_gaps, cut);
  }

  // Out of bounds the same way: the observed 60 and the modelled -1 take their rows out.
  PairRule bounded;
  bounded.apply_bounds = true;
  bounded.lower = 0;
  bounded.upper = 50;
  std::vector<double> o_out = o, p_out = p;
  o_out[6] = 60;
  p_out[1] = -1;
  const ExtendedStats out = ExtendedStatsOf(o_out, p_out, bounded);
  std::vector<double> o_in, p_in;
  for (std::size_t i = 0; i < o.size(); ++i) {
    if (i != 6 && i != 1) {
      o_in.push_back(o[i]);
      p_in.push_back(p[i]);
    }
  }
  const ExtendedStats in = ExtendedStatsOf(o_in, p_in, PairRule{});
  ExpectSame(out, in);
}

// The models of a run share one ordering of the observed series, thinned to each model's
// pairs, and models without gaps of their own share the observed side of the sums: every model
// must get the figures it gets on its own, whatever came before it.
TEST(ExtendedStatsTest, ModelsOfARunGetTheFiguresTheyGetAlone) {
  std::vector<double> o;
  std::vector<std::vector<double>> models(5);
  for (int i = 0; i < 120; ++i) {
    o.push_back(i % 9 == 4 ? M : 20 + 15 * std::sin(i * 0.3) + (i % 7));
    const bool gap = o.back() == M;
    models[0].push_back(gap ? 3 : 1.1 * o.back() + 2);  // no gap of its own
    models[1].push_back(gap ? M : 0.9 * o.back());      // nor this one
    models[2].push_back(i % 5 == 0 ? M : 18 + 14 * std::sin(i * 0.3 - 0.2));
    models[3].push_back(i % 11 == 3 ? M : (i % 4));     // ties throughout
    models[4].push_back(gap ? M : o.back() + (i % 3));  // none again, after gaps
  }
  const std::vector<std::span<const double>> spans(models.begin(), models.end());
  const std::vector<ExtendedStats> together = ExtendedStatsOfModels(o, spans, PairRule{});
  ASSERT_EQ(together.size(), models.size());
  for (std::size_t m = 0; m < models.size(); ++m) {
    ExpectSame(together[m], ExtendedStatsOf(o, models[m], PairRule{}));
  }
}

TEST(ExtendedStatsTest, OverflowingSumsLeaveFiguresUndefinedNeverInfinite) {
  const std::vector<double> o = {1e308, -1e308, 1.5e308, 1e308};
  const std::vector<double> p = {-1e308, 1e308, 1e308, 1.7e308};
  for (const ExtendedFigure& f : ExtendedStatsOf(o, p, PairRule{})) {
    if (f.defined) {
      EXPECT_TRUE(std::isfinite(f.value)) << f.key;
    }
  }
  EXPECT_FALSE(FigureOf(ExtendedStatsOf(o, p, PairRule{}), S::Kge2009).defined);
}

TEST(ExtendedStatsTest, TheFiguresOfARunComeFromItsTableAndRule) {
  FakeRunHost host;
  AnalysisSession session;
  GlobalSettings settings;
  settings.GlobalMissingCode = -1;
  RunContext ctx{session, settings, host};
  const std::vector<double> o = {10, 20, -1, 30, 40};
  const std::vector<double> p = {12, 18, 7, 33, 40};
  for (int r = 0; r < 5; ++r) {
    session.table.Set(r + 1, 1, o[static_cast<std::size_t>(r)]);
    session.table.Set(r + 1, 3, p[static_cast<std::size_t>(r)]);
  }
  session.counters.RowCount = 5;
  const std::vector<ExtendedStats> run = CalcExtendedStats(ctx, 3, 3);
  ASSERT_EQ(run.size(), 1u);
  EXPECT_TRUE(CloseTo(FigureOf(run[0], S::Pbias).value, 3));  // the worked example's pairs

  EXPECT_EQ(ErrorOf([&] { CalcExtendedStats(ctx, 1, 3); }), 9);
  EXPECT_EQ(ErrorOf([&] { CalcExtendedStats(ctx, 2, 31); }), 9);
  EXPECT_TRUE(CalcExtendedStats(ctx, 3, 2).empty());
}

TEST(ExtendedStatsTest, DefinitionsCarryTheMachineKeysInOrder) {
  const std::vector<std::string> keys = {
      "kge2009", "kge2009_r",    "kge2009_alpha", "kge2009_beta", "kge2012",  "kge2012_gamma",
      "kge2021", "kge2021_beta", "kge_np",        "nse_log",      "nse_sqrt", "nse_inv",
      "pbias",   "dr",           "fdc_fhv",       "fdc_flv",      "fdc_fms"};
  ASSERT_EQ(kExtendedStatDefinitions.size(), keys.size());
  std::set<std::string> labels;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const ExtendedStatDefinition& d = kExtendedStatDefinitions[i];
    EXPECT_EQ(static_cast<std::size_t>(d.stat), i);
    EXPECT_EQ(d.key, keys[i]);
    EXPECT_FALSE(d.formula.empty() || d.reference.empty() || d.undefined_when.empty()) << d.key;
    EXPECT_TRUE(labels.insert(std::string(d.label)).second) << "label twice: " << d.label;
  }
}

// The statistics guide shows every extended figure with the texts the window's tooltips show.
TEST(ExtendedStatsTest, TheStatisticsGuideShowsEachDefinitionAsTheProgramDoes) {
  std::string guide = ReadFileBytes(QUELVARIS_EXAMPLES_DIR "/../docs/statistics.md");
  ASSERT_FALSE(guide.empty());
  for (std::size_t at; (at = guide.find("\\|")) != std::string::npos;) guide.erase(at, 1);
  for (const ExtendedStatDefinition& d : kExtendedStatDefinitions) {
    const std::string row = "| " + std::string(d.label) + " | `" + std::string(d.key) + "` | " +
                            std::string(d.formula) + " | " + std::string(d.reference) + " | " +
                            std::string(d.undefined_when) + " |";
    EXPECT_NE(guide.find(row), std::string::npos) << "no row for " << d.key << ": " << row;
  }
}

}  // namespace
}  // namespace quelvaris::testing
