// The extended figures on real daily river flows against a second, plain implementation of the
// same definitions: rows with a gap dropped first, then each figure straight from its formula
// with two passes (means, then deviations), nothing shared with the engine.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/extended_stats.h"
#include "support/test_support.h"

namespace quelvaris::testing {
namespace {

constexpr double kMissing = -999;

using Series = std::vector<double>;

std::vector<Series> ReadColumns(const std::string& path) {
  std::vector<Series> columns;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    double v;
    for (std::size_t c = 0; fields >> v; ++c) {
      if (columns.size() <= c) columns.resize(c + 1);
      columns[c].push_back(v);
    }
  }
  return columns;
}

double Mean(const Series& x) {
  return std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(x.size());
}

double SampleSd(const Series& x) {
  const double m = Mean(x);
  const double ss = std::accumulate(x.begin(), x.end(), 0.0,
                                    [m](double acc, double v) { return acc + (v - m) * (v - m); });
  return std::sqrt(ss / static_cast<double>(x.size() - 1));
}

double Pearson(const Series& x, const Series& y) {
  const double mx = Mean(x), my = Mean(y);
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
  }
  return sxy / std::sqrt(sxx * syy);
}

double Nse(const Series& obs, const Series& sim) {
  const double m = Mean(obs);
  double num = 0, den = 0;
  for (std::size_t i = 0; i < obs.size(); ++i) {
    num += (sim[i] - obs[i]) * (sim[i] - obs[i]);
    den += (obs[i] - m) * (obs[i] - m);
  }
  return 1 - num / den;
}

Series Map(const Series& x, const std::function<double(double)>& f) {
  Series out(x.size());
  std::transform(x.begin(), x.end(), out.begin(), f);
  return out;
}

struct Reference {
  std::string key;
  double value;
};

std::vector<Reference> ReferenceFigures(const Series& o_all, const Series& p_all) {
  Series o, p;
  for (std::size_t i = 0; i < o_all.size(); ++i) {
    if (o_all[i] == kMissing || p_all[i] == kMissing) continue;
    o.push_back(o_all[i]);
    p.push_back(p_all[i]);
  }
  const double r = Pearson(o, p);
  const double alpha = SampleSd(p) / SampleSd(o);
  const double beta = Mean(p) / Mean(o);
  const double gamma = (SampleSd(p) / Mean(p)) / (SampleSd(o) / Mean(o));
  const double beta21 = (Mean(p) - Mean(o)) / SampleSd(o);
  const double eps = Mean(o) / 100;
  auto log_eps = [eps](double q) { return std::log(q + eps); };
  auto root = [](double q) { return std::sqrt(q); };
  const double diff =
      std::accumulate(p.begin(), p.end(), 0.0) - std::accumulate(o.begin(), o.end(), 0.0);
  return {
      {"kge2009", 1 - std::hypot(r - 1, alpha - 1, beta - 1)},
      {"kge2009_r", r},
      {"kge2009_alpha", alpha},
      {"kge2009_beta", beta},
      {"kge2012", 1 - std::hypot(r - 1, gamma - 1, beta - 1)},
      {"kge2012_gamma", gamma},
      {"kge2021", 1 - std::hypot(r - 1, alpha - 1, beta21)},
      {"kge2021_beta", beta21},
      {"nse_log", Nse(Map(o, log_eps), Map(p, log_eps))},
      {"nse_sqrt", Nse(Map(o, root), Map(p, root))},
      {"pbias", 100 * diff / std::accumulate(o.begin(), o.end(), 0.0)},
  };
}

const ExtendedFigure* Find(const ExtendedStats& stats, const std::string& key) {
  for (const ExtendedFigure& f : stats) {
    if (f.key == key) return &f;
  }
  return nullptr;
}

TEST(ExtendedAgreementTest, RiverFlowsAgreeWithAPlainImplementation) {
  const std::vector<Series> columns = ReadColumns(QUELVARIS_EXAMPLES_DIR "/three_models.txt");
  ASSERT_EQ(columns.size(), 4u);
  ASSERT_EQ(columns[0].size(), 92u);

  // As given, and with gaps in either column (a gap in one drops the row from both).
  std::vector<Series> gapped = columns;
  for (std::size_t i : {3u, 17u, 40u, 41u, 77u}) gapped[0][i] = kMissing;
  for (std::size_t i : {5u, 40u, 60u}) gapped[2][i] = kMissing;
  for (std::size_t i : {0u, 91u}) gapped[3][i] = kMissing;

  PairRule rule;
  rule.missing_code = kMissing;
  for (const std::vector<Series>* data : {&columns, &std::as_const(gapped)}) {
    const Series& o = (*data)[0];
    for (std::size_t m = 1; m < data->size(); ++m) {
      const ExtendedStats stats = ExtendedStatsOf(o, (*data)[m], rule);
      for (const Reference& ref : ReferenceFigures(o, (*data)[m])) {
        const ExtendedFigure* f = Find(stats, ref.key);
        ASSERT_NE(f, nullptr) << ref.key;
        EXPECT_TRUE(f->defined) << ref.key;
        const double scale = std::max(std::fabs(ref.value), 1e-300);
        EXPECT_LE(std::fabs(f->value - ref.value) / scale, 1e-9)
            << "model " << m << " " << ref.key << ": " << f->value << " vs " << ref.value;
      }
    }
  }
}

}  // namespace
}  // namespace quelvaris::testing
