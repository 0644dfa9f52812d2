#include "engine/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "support/test_support.h"

namespace quelvaris {
namespace {

// Ten million rows: every count the desktop keeps in 16 bits (POT, out of bounds, missing, NSC,
// MdAPE's list of percentage errors) far beyond 32,767, against plain counts made here.
TEST(Evaluation, TenMillionRowsCountWithoutOverflow) {
  constexpr std::size_t kRows = 10'000'000;
  std::vector<double> obs(kRows);
  std::vector<double> mod(kRows);
  for (std::size_t i = 0; i < kRows; ++i) {
    obs[i] = i % 1000 == 0 ? -999 : 1 + static_cast<double>(i % 50);
    mod[i] = obs[i] == -999 ? 2 : obs[i] + (i % 2 == 0 ? 0.5 : -0.25);
  }
  EvaluationOptions options;
  options.rule.threshold = 40;
  options.rule.apply_bounds = true;
  options.rule.upper = 48;
  const Evaluation ev = Evaluate(obs, {mod}, options);
  ASSERT_EQ(ev.stop, EvaluationStop::None);
  ASSERT_EQ(ev.models.size(), 1u);

  std::int64_t missing = 0, oob = 0, pot = 0, pairs = 0, changes = -1;
  int sign = 0;
  std::vector<double> ape;
  for (std::size_t i = 0; i < kRows; ++i) {
    const double o = obs[i];
    missing += o == -999;
    if (o == -999) continue;
    if (o > 48) {
      ++oob;
      continue;
    }
    pot += o > 40;
    const double p = mod[i];
    if (p > 48) continue;
    ++pairs;
    const double e = o - p;
    const int s = e < 0 ? -1 : (e > 0 ? 1 : sign);
    changes += s != sign;
    sign = s;
    ape.push_back(std::fabs(e / o) * 100);
  }
  std::sort(ape.begin(), ape.end());
  const double median =
      ape.size() % 2 ? ape[ape.size() / 2] : (ape[ape.size() / 2 - 1] + ape[ape.size() / 2]) / 2;
  EXPECT_EQ(ev.observed_counts.missing, missing);
  EXPECT_EQ(ev.observed_counts.out_of_bounds, oob);
  EXPECT_EQ(ev.observed.POT, pot);
  EXPECT_EQ(ev.observed.OOB, oob);
  const ErrorStats& e = ev.models[0].errors;
  EXPECT_EQ(e.NSC, static_cast<double>(changes));
  EXPECT_EQ(e.MdAPE, median);
  EXPECT_EQ(static_cast<std::int64_t>(kRows) - ev.models[0].pair_counts.missing -
                ev.models[0].pair_counts.out_of_bounds,
            pairs);
}

// With no thread to be had, a run on four threads still scores every model as on one thread.
TEST(Evaluation, ThreadsTheSystemRefusesLeaveTheirModelsToTheCaller) {
  std::vector<double> obs(500);
  std::vector<std::vector<double>> columns(5, std::vector<double>(obs.size()));
  for (std::size_t i = 0; i < obs.size(); ++i) {
    obs[i] = 3 + std::sin(0.1 * static_cast<double>(i));
    for (std::size_t m = 0; m < columns.size(); ++m) {
      columns[m][i] = obs[i] * (0.9 + 0.05 * static_cast<double>(m)) + 0.01 * (i % 7);
    }
  }
  const std::vector<std::span<const double>> models(columns.begin(), columns.end());
  EvaluationOptions options;
  options.extended = true;
  const Evaluation alone = Evaluate(obs, models, options, 1);
  const int status = testing::ExitWithoutThreads([&] {
    const Evaluation ev = Evaluate(obs, models, options, 4);
    for (std::size_t m = 0; m < models.size(); ++m) {
      const ModelEvaluation& a = alone.models[m];
      const ModelEvaluation& b = ev.models[m];
      if (std::memcmp(&a.errors, &b.errors, sizeof a.errors) != 0) return 1;
      if (a.extended[0].value != b.extended[0].value) return 2;
    }
    return 0;
  });
  if (status == -1) GTEST_SKIP() << "no way here to limit the threads of a process";
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace quelvaris
