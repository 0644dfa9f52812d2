#include "engine/bootstrap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace quelvaris::testing {
namespace {

std::size_t ErrorIndex(double ErrorStats::*field) {
  for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
    if (kErrorStatFields[i].field == field) return i;
  }
  return kErrorStatFields.size();
}

// Standard normal draws of our own (Box-Muller on 53-bit uniforms), so that the synthetic
// records are the same with every standard library.
class Normal {
 public:
  explicit Normal(std::uint64_t seed) : gen_(seed) {}
  double operator()() {
    const double u1 = (static_cast<double>(gen_() >> 11) + 1) * 0x1p-53;
    const double u2 = static_cast<double>(gen_() >> 11) * 0x1p-53;
    return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
  }

 private:
  std::mt19937_64 gen_;
};

// A flow-like observed series and a model off by errors e_t = phi e_(t-1) + sd u_t.
struct Record {
  std::vector<double> o, p;
};
Record SyntheticRecord(std::size_t rows, double phi, double sd, std::uint64_t seed) {
  Normal normal(seed);
  Record r;
  double e = 0;
  for (std::size_t t = 0; t < rows; ++t) {
    const double o = 50 + 20 * std::sin(static_cast<double>(t) / 20) + 5 * normal();
    e = phi * e + sd * normal();
    r.o.push_back(o);
    r.p.push_back(o + e);
  }
  return r;
}

BootstrapResult Intervals(const Record& r, const BlockPlan& plan, BootstrapOptions boot,
                          bool extended = false) {
  EvaluationOptions options;
  options.extended = extended;
  return BootstrapIntervals(r.o, {r.p}, options, plan, boot);
}

TEST(BootstrapBlocks, PlansAndDraws) {
  EXPECT_EQ(DefaultBlockLength(10000), 22);
  EXPECT_EQ(DefaultBlockLength(7), 2);
  EXPECT_EQ(DefaultBlockLength(1), 1);
  const BlockPlan moving = MovingBlocks(10, 3);
  EXPECT_EQ(moving.candidates.size(), 8u);  // starts 0..7
  EXPECT_EQ(moving.draws, 4);               // 3 + 3 + 3 + 1 rows
  EXPECT_EQ(moving.groups, 3);              // starts 0-2, 3-5, 6-7
  EXPECT_EQ(moving.group.back(), 2);
  EXPECT_FALSE(MovingBlocks(10, 11).Resamples());
  EXPECT_FALSE(MovingBlocks(10, 10).Resamples());  // one block: the record itself

  const BlockPlan years = WholeBlocks(10, {0, 4, 7});
  ASSERT_EQ(years.candidates.size(), 3u);
  EXPECT_EQ(years.candidates[1].length, 3);
  EXPECT_EQ(years.candidates[2].length, 3);
  EXPECT_EQ(years.draws, 3);
  for (const std::vector<std::int64_t>& bad :
       std::vector<std::vector<std::int64_t>>{{1, 4}, {0, 4, 4}, {0, 11}, {0, 6, 3}}) {
    EXPECT_TRUE(WholeBlocks(10, bad).candidates.empty());
  }
  EXPECT_FALSE(WholeBlocks(10, {0}).Resamples());

  // Every value below the bound comes up, none at or above it, and a seed and resample number
  // always give the same draws.
  std::mt19937_64 gen = ResampleGenerator(7, 3);
  std::vector<int> seen(5);
  for (int i = 0; i < 1000; ++i) ++seen.at(UniformBelow(gen, 5));
  for (int count : seen) EXPECT_GT(count, 150);
  std::vector<int> a, b, c;
  gen = ResampleGenerator(7, 3);
  DrawBlocks(moving, gen, a);
  gen = ResampleGenerator(7, 3);
  DrawBlocks(moving, gen, b);
  gen = ResampleGenerator(7, 4);
  DrawBlocks(moving, gen, c);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  // The generator is the one std::seed_seq seeds from the four words.
  for (const auto& [seed, r] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{
           {0, 0}, {7, 3}, {0xffffffffffffffffu, 99999}, {0x123456789abcdefu, 1u << 31}}) {
    std::seed_seq words{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                        static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(r >> 32)};
    std::mt19937_64 want(words);
    std::mt19937_64 got = ResampleGenerator(seed, r);
    for (int i = 0; i < 700; ++i) ASSERT_EQ(got(), want()) << seed << " " << r << " draw " << i;
  }
}

// On independent errors the bootstrap standard error of the mean error is the textbook
// sd / sqrt(n) (population sd, as the bootstrap's own world has it).
TEST(Bootstrap, StandardErrorOfTheMeanErrorOnIndependentDraws) {
  const Record r = SyntheticRecord(1000, 0, 3, 11);
  double mean = 0, dev2 = 0;
  for (std::size_t t = 0; t < r.o.size(); ++t) mean += (r.p[t] - r.o[t]) / 1000;
  for (std::size_t t = 0; t < r.o.size(); ++t) {
    dev2 += (r.p[t] - r.o[t] - mean) * (r.p[t] - r.o[t] - mean);
  }
  const double textbook = std::sqrt(dev2 / 1000) / std::sqrt(1000.0);
  const BootstrapResult b = Intervals(r, MovingBlocks(1000, 1), {2000, 0.9, false, 5, 0});
  const Interval& me = b.models[0].errors[ErrorIndex(&ErrorStats::ME)];
  ASSERT_TRUE(me.defined);
  EXPECT_NEAR(me.se / textbook, 1, 0.05) << me.se << " vs " << textbook;
  EXPECT_EQ(me.defined_share, 1);
  EXPECT_LT(me.low, mean);
  EXPECT_GT(me.high, mean);
}

// Coverage of the 90 % interval of RMSE over 200 records from a known model with persistent
// errors (phi 0.5, so the true RMSE is sd / sqrt(1 - phi^2)), 1,000 rows, default blocks of 10.
// Seen when written: 173 of 200 (86.5 %); the percentile interval of a spread runs a little short
// of its nominal cover (statistics guide, limits).
TEST(Bootstrap, CoverageOfTheRmseInterval) {
  constexpr double kPhi = 0.5, kSd = 2;
  const double truth = kSd / std::sqrt(1 - kPhi * kPhi);
  int covered = 0;
  for (std::uint64_t k = 0; k < 200; ++k) {
    const Record r = SyntheticRecord(1000, kPhi, kSd, 1000 + k);
    const BootstrapResult b =
        Intervals(r, MovingBlocks(1000, DefaultBlockLength(1000)), {500, 0.9, false, k, 0});
    const Interval& rmse = b.models[0].errors[ErrorIndex(&ErrorStats::RMSE)];
    covered += rmse.defined && rmse.low <= truth && truth <= rmse.high;
  }
  EXPECT_GE(covered, 170);  // 85 %
  EXPECT_LE(covered, 190);  // 95 %
  RecordProperty("covered_of_200", covered);
}

// The same seed gives the same intervals on any number of threads, jackknife errors included;
// another seed gives others.
TEST(Bootstrap, ResultsDoNotDependOnThreads) {
  const Record r = SyntheticRecord(300, 0.7, 1, 3);
  const BlockPlan plan = MovingBlocks(300, 7);
  const auto run = [&](int threads, std::uint64_t seed) {
    return Intervals(r, plan, {200, 0.8, true, seed, threads}, true);
  };
  const BootstrapResult one = run(1, 42), two = run(2, 42), three = run(3, 42), other = run(2, 43);
  const auto same = [](const Interval& a, const Interval& b) {
    return a.low == b.low && a.high == b.high && a.se == b.se &&
           a.jackknife_se_low == b.jackknife_se_low && a.jackknife_se_high == b.jackknife_se_high &&
           a.defined == b.defined && a.jackknife_defined == b.jackknife_defined;
  };
  ASSERT_EQ(one.models[0].extended.size(), kExtendedStatCount);
  for (const BootstrapResult* b : {&two, &three}) {
    for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
      EXPECT_TRUE(same(one.models[0].errors[i], b->models[0].errors[i])) << i;
    }
    for (std::size_t i = 0; i < kExtendedStatCount; ++i) {
      EXPECT_TRUE(same(one.models[0].extended[i], b->models[0].extended[i])) << i;
    }
    for (std::size_t i = 0; i < kBasicFigureCount; ++i) {
      EXPECT_TRUE(same(one.models[0].basic[i], b->models[0].basic[i])) << i;
    }
  }
  // The extended figures alone (the Extended window's intervals) are those of the whole run.
  BootstrapOptions alone{200, 0.8, true, 42, 2};
  alone.extended_only = true;
  const BootstrapResult extended = Intervals(r, plan, alone, true);
  for (std::size_t i = 0; i < kExtendedStatCount; ++i) {
    EXPECT_TRUE(same(one.models[0].extended[i], extended.models[0].extended[i])) << i;
  }
  EXPECT_FALSE(extended.models[0].errors[0].defined);
  const Interval& rmse = one.models[0].errors[ErrorIndex(&ErrorStats::RMSE)];
  EXPECT_TRUE(rmse.jackknife_defined);
  EXPECT_GT(rmse.jackknife_se_low, 0);
  EXPECT_FALSE(same(rmse, other.models[0].errors[ErrorIndex(&ErrorStats::RMSE)]));

  // With no thread to be had, a run on three threads is that of one.
  const int refused = testing::ExitWithoutThreads([&] {
    const BootstrapResult alone_here = run(3, 42);
    for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
      if (!same(one.models[0].errors[i], alone_here.models[0].errors[i])) return 1;
    }
    return 0;
  });
  if (refused != -1) {
    EXPECT_EQ(refused, 0);
  }
}

// Records on which an interval cannot or need not be had.
TEST(Bootstrap, UndefinedAndExactCases) {
  // A model off by exactly 2 everywhere: every resample has ME 2 and RMSE 2.
  Record shifted;
  for (int t = 0; t < 60; ++t) {
    shifted.o.push_back(10 + t % 7);
    shifted.p.push_back(12 + t % 7);
  }
  const BootstrapResult exact = Intervals(shifted, MovingBlocks(60, 4), {50, 0.9, false, 1, 2});
  const Interval& me = exact.models[0].errors[ErrorIndex(&ErrorStats::ME)];
  EXPECT_DOUBLE_EQ(me.low, 2);
  EXPECT_DOUBLE_EQ(me.high, 2);
  EXPECT_NEAR(me.se, 0, 1e-12);

  // One block, or one year: no interval, no crash.
  for (const BlockPlan& plan : {MovingBlocks(60, 60), WholeBlocks(60, {0})}) {
    const BootstrapResult none = Intervals(shifted, plan, {50, 0.9, true, 1, 2});
    for (const Interval& i : none.models[0].errors) EXPECT_FALSE(i.defined);
  }

  // The only row where both values are positive is row 0, which a resample of two 50-row
  // blocks holds only when it draws the first block: MSLE is defined on a few resamples, too
  // few for an interval, and its share says so.
  Record rare;
  for (int t = 0; t < 100; ++t) {
    rare.o.push_back(t == 0 ? 5 : -1 - t % 3);
    rare.p.push_back(t == 0 ? 4 : -2 - t % 5);
  }
  const BootstrapResult few = Intervals(rare, MovingBlocks(100, 50), {500, 0.9, false, 9, 2});
  const Interval& msle = few.models[0].errors[ErrorIndex(&ErrorStats::MSLE)];
  EXPECT_FALSE(msle.defined);
  EXPECT_GT(msle.defined_share, 0);
  EXPECT_LT(msle.defined_share, 0.1);
  EXPECT_TRUE(few.models[0].errors[ErrorIndex(&ErrorStats::RMSE)].defined);
}

TEST(Bootstrap, ProgressAndCancel) {
  const Record r = SyntheticRecord(200, 0, 1, 8);
  std::atomic<bool> cancel{false};
  int calls = 0, last = 0;
  BootstrapControl control;
  control.progress = [&](int done, int total) {
    ++calls;
    last = done;
    EXPECT_EQ(total, 40);
    if (done == 10) cancel = true;
  };
  const BootstrapResult whole =
      BootstrapIntervals(r.o, {r.p}, {}, MovingBlocks(200, 5), {40, 0.9, false, 1, 2}, control);
  EXPECT_EQ(calls, 40);
  EXPECT_EQ(last, 40);
  EXPECT_FALSE(whole.cancelled);
  control.cancel = &cancel;
  const BootstrapResult stopped =
      BootstrapIntervals(r.o, {r.p}, {}, MovingBlocks(200, 5), {40, 0.9, false, 1, 2}, control);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_TRUE(stopped.models.empty());
}

}  // namespace
}  // namespace quelvaris::testing
