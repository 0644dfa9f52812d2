#include "engine/resample_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace quelvaris::testing {
namespace {

// A resample laid out row by row, as the figure code reads it: the blocks end to end with a
// missing row between two, the last cut to the record's length.
std::vector<double> LaidOut(std::span<const double> x, const BlockPlan& plan,
                            const std::vector<int>& chosen, double mc) {
  std::vector<double> out;
  std::int64_t left = plan.rows;
  for (std::size_t b = 0; b < chosen.size() && left > 0; ++b) {
    const Block& block = plan.candidates[static_cast<std::size_t>(chosen[b])];
    if (b > 0) out.push_back(mc);
    const std::int64_t take = std::min(block.length, left);
    left -= take;
    for (std::int64_t i = block.start; i < block.start + take; ++i) {
      out.push_back(i < static_cast<std::int64_t>(x.size()) ? x[static_cast<std::size_t>(i)] : mc);
    }
  }
  return out;
}

bool Agree(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a));
}

struct Case {
  std::string name;
  std::vector<double> o, p;
  BlockPlan plan;
  SeriesRule rule;
};

// Records with missing and out-of-bounds values, zero and negative flows, a model shorter than
// the record, cut blocks and whole blocks: every figure from the blocks' sums is the figure of
// the resample laid out row by row.
TEST(ResampleFigures, AgreeWithTheFiguresOfTheLaidOutResample) {
  std::vector<Case> cases;
  const auto flow = [](int t, int k) {
    return 30 + 20 * std::sin(t / (7.0 + k)) + ((t * 37 + k * 11) % 17) * 0.7;
  };
  Case gaps{"gaps and bounds", {}, {}, MovingBlocks(400, 7), {}};
  gaps.rule = {.missing_code = -999, .apply_bounds = true, .lower = 2, .upper = 58};
  for (int t = 0; t < 400; ++t) {
    gaps.o.push_back(t % 23 == 5 ? -999 : flow(t, 0));
    gaps.p.push_back(t % 31 == 2 ? -999 : flow(t, 1) - 3);
  }
  cases.push_back(gaps);
  Case signs{"zeros, negatives, ties", {}, {}, MovingBlocks(300, 6), {}};
  for (int t = 0; t < 300; ++t) {
    signs.o.push_back(t % 9 == 0 ? 0 : std::round(flow(t, 2) - 25));
    signs.p.push_back(std::round(flow(t, 3) - 26));
  }
  cases.push_back(signs);
  Case shorter{"shorter model, whole blocks", {}, {}, WholeBlocks(250, {0, 40, 90, 170, 200}), {}};
  for (int t = 0; t < 250; ++t) shorter.o.push_back(flow(t, 4));
  for (int t = 0; t < 230; ++t) shorter.p.push_back(flow(t, 5) * 1.1);
  cases.push_back(shorter);
  Case flat{"constant model, few usable", {}, {}, MovingBlocks(60, 13), {}};
  for (int t = 0; t < 60; ++t) {
    flat.o.push_back(t % 4 == 0 ? flow(t, 6) : -999);
    flat.p.push_back(12.5);
  }
  cases.push_back(flat);

  for (const Case& c : cases) {
    EvaluationOptions options;
    options.rule = c.rule;
    options.parameters = 3;
    options.points = 50;
    ObservedResamples shared(c.o, options, c.plan);
    ResampleScratch scratch;
    shared.Tables(scratch.terms);
    std::vector<ResampleRows> rows(42);  // the last two summed apart from groups of four
    std::vector<std::vector<int>> chosen(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::mt19937_64 gen = ResampleGenerator(5, r);
      DrawBlocks(c.plan, gen, chosen[r]);
      shared.Prepare(chosen[r], rows[r]);
    }
    shared.WindowOver(rows);
    const ModelResamples model(shared, c.p, scratch);
    std::vector<double> acc(rows.size() * term::kBlockTerms);
    model.Sum(rows, acc, scratch);

    int compared = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const double mc = c.rule.missing_code;
      const std::vector<double> o = LaidOut(c.o, c.plan, chosen[r], mc);
      const std::vector<double> p = LaidOut(c.p, c.plan, chosen[r], mc);
      const Evaluation ev = Evaluate(o, {p}, options);
      ASSERT_EQ(rows[r].figures, !ev.models.empty()) << c.name << " resample " << r;
      if (ev.models.empty()) continue;
      const ModelEvaluation& want = ev.models[0];
      const ModelEvaluation got = model.Figures(&acc[r * term::kBlockTerms], rows[r]);
      const std::string where = c.name + " resample " + std::to_string(r);
      ASSERT_EQ(got.stats.undefined, want.stats.undefined) << where;
      ASSERT_EQ(got.errors.undefined, want.errors.undefined) << where;
      for (auto field : {&SeriesStats::Mean, &SeriesStats::SD, &SeriesStats::Skew,
                         &SeriesStats::Kur, &SeriesStats::Min, &SeriesStats::Max}) {
        EXPECT_TRUE(Agree(got.stats.*field, want.stats.*field))
            << where << ": " << got.stats.*field << " vs " << want.stats.*field;
      }
      EXPECT_EQ(got.stats.POT, want.stats.POT) << where;
      EXPECT_EQ(got.stats.OOB, want.stats.OOB) << where;
      for (std::size_t i = 0; i < kErrorStatFields.size(); ++i) {
        const double g = got.errors.*kErrorStatFields[i].field;
        const double w = want.errors.*kErrorStatFields[i].field;
        EXPECT_TRUE(Agree(g, w)) << where << " " << kErrorStatFields[i].label << g << " vs " << w;
      }
      ++compared;
    }
    EXPECT_GT(compared, 10) << c.name;
  }
}

}  // namespace
}  // namespace quelvaris::testing
