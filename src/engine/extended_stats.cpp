#include "engine/extended_stats.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "engine/data_table.h"
#include "engine/sum_lanes.h"
#include "platform/log_array.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

// Collects the figures; one that is never set, or set to an infinity or NaN (an overflow of
// values near the largest double), stays undefined.
class Figures {
 public:
  Figures() {
    for (std::size_t i = 0; i < kExtendedStatCount; ++i) {
      stats_[i].key = kExtendedStatDefinitions[i].key;
    }
  }
  void Set(ExtendedStat stat, double value) {
    ExtendedFigure& f = stats_[static_cast<std::size_t>(stat)];
    f.value = value;
    f.defined = std::isfinite(value);
  }
  const ExtendedStats& Stats() const { return stats_; }

 private:
  ExtendedStats stats_{};
};

// The mean; a constant series' own value, since a sum divided by n can miss it by an ulp and
// leave tiny deviations that would pass for variability.
double MeanOf(const std::vector<double>& v, double sum, bool constant) {
  return constant ? v.front() : sum / static_cast<double>(v.size());
}

using lanes::Abs;
using lanes::Load;
using lanes::Sqrt;
using lanes::Store;
using lanes::Sum;

// The sums behind the moment-based figures, over the paired rows. The efficiencies of
// transformed flows need ln(Q + e), sqrt(Q) and 1 / (Q + e) of both series, e = mean O / 100.
//
// The observed side (ObservedSums) is kept from model to model.
QUELVARIS_LANES_CLONES
void ObservedSumsOf(const PairedSeries& s, double mean_o, ObservedSums& t) {
  const std::size_t count = s.Count();
  const double e = mean_o / 100;
  t.mean = mean_o;
  t.log.resize(count);
  t.sqrt.resize(count);
  t.inv.resize(count);
  // The logarithms first, all at once: most of the time of these figures went into them.
  LogOfEach(s.o, e, t.log);
  const double* const o = s.o.data();
  double* const log_o = t.log.data();
  double* const sqrt_o = t.sqrt.data();
  double* const inv_o = t.inv.data();
  Sum dev2, abs_dev, log_total, sqrt_total, inv_total;
  lanes::ForEach(
      count, [&](std::size_t k, auto at) __attribute__((always_inline)) {
        const auto o_k = Load(at, o, k);
        const auto d = o_k - mean_o;
        dev2.Add(at, d * d);
        abs_dev.Add(at, Abs(d));
        const auto sqrt_k = Sqrt(o_k);
        const auto inv_k = 1.0 / (o_k + e);
        Store(at, sqrt_o, k, sqrt_k);
        Store(at, inv_o, k, inv_k);
        log_total.Add(at, Load(at, log_o, k));
        sqrt_total.Add(at, sqrt_k);
        inv_total.Add(at, inv_k);
      });
  const double n = static_cast<double>(count);
  const double log_mean = log_total.Total() / n;
  const double sqrt_mean = sqrt_total.Total() / n;
  const double inv_mean = inv_total.Total() / n;
  Sum log_dev2, sqrt_dev2, inv_dev2;
  lanes::ForEach(
      count, [&](std::size_t k, auto at) __attribute__((always_inline)) {
        const auto d_log = Load(at, log_o, k) - log_mean;
        const auto d_sqrt = Load(at, sqrt_o, k) - sqrt_mean;
        const auto d_inv = Load(at, inv_o, k) - inv_mean;
        log_dev2.Add(at, d_log * d_log);
        sqrt_dev2.Add(at, d_sqrt * d_sqrt);
        inv_dev2.Add(at, d_inv * d_inv);
      });
  t.dev2 = dev2.Total();
  t.abs_dev = abs_dev.Total();
  t.log_dev2 = log_dev2.Total();
  t.sqrt_dev2 = sqrt_dev2.Total();
  t.inv_dev2 = inv_dev2.Total();
  t.of_all_rows = s.all_observed;
}

// The model's side, against the observed one; ln(P + e) waits in `scratch`.
struct ModelSums {
  double dev2 = 0, cross = 0;                        // about the means of the pairs
  double abs_err = 0, sum_err = 0;                   // of P - O
  double log_err2 = 0, sqrt_err2 = 0, inv_err2 = 0;  // sum((f(P) - f(O))^2)
};

QUELVARIS_LANES_CLONES
ModelSums ModelSumsOf(const PairedSeries& s, const ObservedSums& obs, double mean_p,
                      std::vector<double>& scratch) {
  const std::size_t count = s.Count();
  const double e = obs.mean / 100;
  scratch.resize(count);
  LogOfEach(s.p, e, scratch);
  const double* const o = s.o.data();
  const double* const p = s.p.data();
  const double* const log_p = scratch.data();
  const double* const log_o = obs.log.data();
  const double* const sqrt_o = obs.sqrt.data();
  const double* const inv_o = obs.inv.data();
  Sum dev2, cross, abs_err, sum_err, log_err2, sqrt_err2, inv_err2;
  lanes::ForEach(
      count, [&](std::size_t k, auto at) __attribute__((always_inline)) {
        const auto o_k = Load(at, o, k);
        const auto p_k = Load(at, p, k);
        const auto d_o = o_k - obs.mean;
        const auto d_p = p_k - mean_p;
        dev2.Add(at, d_p * d_p);
        cross.Add(at, d_o * d_p);
        const auto err = p_k - o_k;
        abs_err.Add(at, Abs(err));
        sum_err.Add(at, err);
      });
  // Apart, so that each loop's parts fit in the registers.
  lanes::ForEach(
      count, [&](std::size_t k, auto at) __attribute__((always_inline)) {
        const auto p_k = Load(at, p, k);
        const auto log_err = Load(at, log_p, k) - Load(at, log_o, k);
        const auto sqrt_err = Sqrt(p_k) - Load(at, sqrt_o, k);
        const auto inv_err = 1.0 / (p_k + e) - Load(at, inv_o, k);
        log_err2.Add(at, log_err * log_err);
        sqrt_err2.Add(at, sqrt_err * sqrt_err);
        inv_err2.Add(at, inv_err * inv_err);
      });
  return {dev2.Total(),     cross.Total(),     abs_err.Total(), sum_err.Total(),
          log_err2.Total(), sqrt_err2.Total(), inv_err2.Total()};
}

// The sums of the non-parametric KGE: of the rank deviations from the mean rank, and the
// distance of the two flow duration curves scaled by unit_o and unit_p.
struct RankSums {
  double cross = 0, dev2_o = 0, dev2_p = 0, curve_gap = 0;
};

QUELVARIS_LANES_CLONES
RankSums RankSumsOf(const PairedSeries& s, double mean_rank, double unit_o, double unit_p) {
  Sum cross, dev2_o, dev2_p, curve_gap;
  const double* const o_rank = s.o_rank.data();
  const double* const p_rank = s.p_rank.data();
  const double* const o_sorted = s.o_sorted.data();
  const double* const p_sorted = s.p_sorted.data();
  lanes::ForEach(
      s.Count(), [&](std::size_t k, auto at) __attribute__((always_inline)) {
        const auto d_o = Load(at, o_rank, k) - mean_rank;
        const auto d_p = Load(at, p_rank, k) - mean_rank;
        cross.Add(at, d_o * d_p);
        dev2_o.Add(at, d_o * d_o);
        dev2_p.Add(at, d_p * d_p);
        curve_gap.Add(at, Abs(Load(at, p_sorted, k) * unit_p - Load(at, o_sorted, k) * unit_o));
      });
  return {cross.Total(), dev2_o.Total(), dev2_p.Total(), curve_gap.Total()};
}

// The k-th largest value (k from 1) of a series sorted in ascending order.
double Largest(const std::vector<double>& ascending, std::size_t k) {
  return ascending[ascending.size() - k];
}

// The flow at exceedance probability percent / 100 on the duration curve whose k-th largest
// value stands at k / (n + 1), linearly between neighbouring flows. The position is formed in
// integers so that 20 % of 99 values is exactly the 20th largest.
double FlowAt(const std::vector<double>& ascending, int percent) {
  const std::size_t scaled = static_cast<std::size_t>(percent) * (ascending.size() + 1);
  const std::size_t k = scaled / 100;
  const double fraction = static_cast<double>(scaled % 100) / 100;
  const double upper = Largest(ascending, k);
  if (fraction == 0) return upper;
  return upper + fraction * (Largest(ascending, k + 1) - upper);
}

// Pearson's r from the sums of cross products and squared deviations.
double Correlation(double cross, double dev2_a, double dev2_b) {
  return cross / (std::sqrt(dev2_a) * std::sqrt(dev2_b));
}

// 1 - the Euclidean distance of a criterion's three components from their ideal point.
double DistanceScore(double a, double b, double c) {
  return 1 - std::sqrt(a * a + b * b + c * c);
}

}  // namespace

// The figures of one model; `obs` holds the observed side of the previous model, which is used
// again when both models pair with all usable observed rows.
ExtendedStats ExtendedStatsOfPairs(const PairedSeries& s, ExtendedRoom& room) {
  ObservedSums& obs = room.observed;
  std::vector<double>& scratch = room.scratch;
  Figures out;
  const std::size_t count = s.Count();
  if (count < 2) return out.Stats();
  const double n = static_cast<double>(count);

  const double mean_o = MeanOf(s.o, s.o_sum, s.OConstant());
  const double mean_p = MeanOf(s.p, s.p_sum, s.PConstant());
  const double e = mean_o / 100;  // the shift of the transformed flows
  if (!(s.all_observed && obs.of_all_rows)) ObservedSumsOf(s, mean_o, obs);
  const ModelSums m = ModelSumsOf(s, obs, mean_p, scratch);
  // Sample standard deviations (divisor n - 1); the ratios below are the same with n.
  const double sd_o = std::sqrt(obs.dev2 / (n - 1));
  const double sd_p = std::sqrt(m.dev2 / (n - 1));
  const bool o_varies = !s.OConstant();
  const bool both_vary = o_varies && !s.PConstant();

  // Kling-Gupta efficiency (Gupta et al. 2009, J. Hydrol. 377, 80-91):
  // 1 - sqrt((r - 1)^2 + (alpha - 1)^2 + (beta - 1)^2), r Pearson's correlation,
  // alpha = sd P / sd O, beta = mean P / mean O.
  const double r = Correlation(m.cross, obs.dev2, m.dev2);
  const double alpha = sd_p / sd_o;
  const double beta = mean_p / mean_o;
  if (both_vary) out.Set(ExtendedStat::Kge2009R, r);
  if (o_varies) out.Set(ExtendedStat::Kge2009Alpha, alpha);
  if (mean_o != 0) out.Set(ExtendedStat::Kge2009Beta, beta);
  if (both_vary && mean_o != 0) {
    out.Set(ExtendedStat::Kge2009, DistanceScore(r - 1, alpha - 1, beta - 1));
  }

  // Modified KGE (Kling et al. 2012, J. Hydrol. 424-425, 264-277): the spread as the ratio of
  // the coefficients of variation, gamma = (sd P / mean P) / (sd O / mean O), so that a bias
  // in the mean does not show up in the spread term as well.
  if (o_varies && mean_o != 0 && mean_p != 0) {
    const double gamma = (sd_p / mean_p) / (sd_o / mean_o);
    out.Set(ExtendedStat::Kge2012Gamma, gamma);
    if (both_vary) out.Set(ExtendedStat::Kge2012, DistanceScore(r - 1, gamma - 1, beta - 1));
  }

  // KGE for means near zero (Tang et al. 2021, J. Climate 34, 6493-6511): the bias term
  // beta2021 = (mean P - mean O) / sd O, ideal at 0, with the 2009 alpha:
  // 1 - sqrt((r - 1)^2 + (alpha - 1)^2 + beta2021^2). The difference of the means is taken
  // from the sum of the errors, which keeps its digits where the flows are large and close
  // (1e5 apart by 0.01): the difference of two rounded means would lose them.
  if (o_varies) {
    const double beta2021 = m.sum_err / n / sd_o;
    out.Set(ExtendedStat::Kge2021Beta, beta2021);
    if (both_vary) out.Set(ExtendedStat::Kge2021, DistanceScore(r - 1, alpha - 1, beta2021));
  }

  // Non-parametric KGE (Pool et al. 2018, Hydrol. Sci. J. 63, 1941-1953):
  // 1 - sqrt((rs - 1)^2 + (alpha_np - 1)^2 + (beta - 1)^2), rs Spearman's rank correlation and
  // alpha_np = 1 - 0.5 * sum(|P(k) / (n mean P) - O(k) / (n mean O)|) over the two flow
  // duration curves (each series sorted on its own) scaled to unit area.
  if (both_vary && mean_o != 0 && mean_p != 0) {
    const double mean_rank = (n + 1) / 2;  // of 1..n, ties included
    const double unit_o = 1 / (n * mean_o);
    const double unit_p = 1 / (n * mean_p);
    const RankSums ranks = RankSumsOf(s, mean_rank, unit_o, unit_p);
    const double rs = Correlation(ranks.cross, ranks.dev2_o, ranks.dev2_p);
    const double alpha_np = 1 - 0.5 * ranks.curve_gap;
    out.Set(ExtendedStat::KgeNp, DistanceScore(rs - 1, alpha_np - 1, beta - 1));
  }

  // Nash-Sutcliffe efficiencies of transformed flows (Pushpalatha et al. 2012, J. Hydrol.
  // 420-421, 171-182), 1 - sum((f(P) - f(O))^2) / sum((f(O) - mean f(O))^2), of ln(Q + e), of
  // sqrt(Q) and of 1 / (Q + e), with e = mean O / 100 added to both series so that zero flows
  // keep a logarithm. A transform that is not defined at every paired value leaves its figure
  // undefined rather than dropping rows from it.
  if (o_varies) {
    if (s.o_min + e > 0 && s.p_min + e > 0) {
      out.Set(ExtendedStat::NseLog, 1 - m.log_err2 / obs.log_dev2);
      out.Set(ExtendedStat::NseInv, 1 - m.inv_err2 / obs.inv_dev2);
    }
    if (s.o_min >= 0 && s.p_min >= 0)
      out.Set(ExtendedStat::NseSqrt, 1 - m.sqrt_err2 / obs.sqrt_dev2);
  }

  // Percent bias, 100 * sum(P - O) / sum(O): positive when the model overestimates.
  if (s.o_sum != 0) out.Set(ExtendedStat::Pbias, 100 * m.sum_err / s.o_sum);

  // Refined index of agreement (Willmott et al. 2012, Int. J. Climatol. 32, 2088-2094), with
  // c = 2: 1 - A / B when A <= B, else B / A - 1, A = sum(|P - O|), B = 2 sum(|O - mean O|).
  // Only a constant observed series reproduced exactly (A = B = 0) leaves it undefined.
  const double a = m.abs_err;
  const double b = 2 * obs.abs_dev;
  if (a > b) {
    out.Set(ExtendedStat::Dr, b / a - 1);
  } else if (b > 0) {
    out.Set(ExtendedStat::Dr, 1 - a / b);
  }

  // Flow duration curve signatures (Yilmaz et al. 2008, Water Resour. Res. 44, W09417). The
  // k-th largest of n flows stands at exceedance probability k / (n + 1), as on the plot
  // window's duration curves; each series is sorted on its own.
  //
  // High-segment volume bias: 100 * sum(P(h) - O(h)) / sum(O(h)) over the flows at 2 % or
  // less, that is the k-th largest for k <= (n + 1) / 50.
  const std::size_t high = (count + 1) / 50;
  if (high > 0) {
    double high_o = 0, high_err = 0;
    for (std::size_t k = 1; k <= high; ++k) {
      high_o += Largest(s.o_sorted, k);
      high_err += Largest(s.p_sorted, k) - Largest(s.o_sorted, k);
    }
    if (high_o != 0) out.Set(ExtendedStat::FdcFhv, 100 * high_err / high_o);
  }

  // Low-segment volume bias: -100 * (sum(ln P(l) - ln P(min)) - sum(ln O(l) - ln O(min))) /
  // sum(ln O(l) - ln O(min)) over the flows at 70 % or more, the k-th largest for
  // k >= 0.7 (n + 1), down to the smallest. Needs a positive flow throughout the segment, and
  // observed low flows that are not all equal: decided on the flows, since the sum of their
  // logarithms is 0 only as far as rounding goes. (Flows so close that their logarithms round
  // alike leave a zero divisor, and the figure undefined all the same.)
  const std::size_t low_first = (7 * (count + 1) + 9) / 10;  // the least k with 10 k >= 7 (n + 1)
  const std::size_t low_count = low_first <= count ? count - low_first + 1 : 0;
  if (low_count > 1 && s.o_sorted.front() > 0 && s.p_sorted.front() > 0 &&
      s.o_sorted[low_count - 1] != s.o_sorted.front()) {  // the smallest low_count flows
    // The logarithms of both low segments: those the series carries, or worked out in the room
    // the sums are done with.
    const auto low_logs = [&](const std::vector<double>& sorted, const std::vector<double>& logs,
                              double* room_for) {
      if (s.sorted_logs >= low_count) return std::span<const double>(logs.data(), low_count);
      LogOfEach({sorted.data(), low_count}, 0, {room_for, low_count});
      return std::span<const double>(room_for, low_count);
    };
    if (scratch.size() < 2 * low_count) scratch.resize(2 * low_count);
    const std::span<const double> ln_o = low_logs(s.o_sorted, s.o_sorted_log, scratch.data());
    const std::span<const double> ln_p =
        low_logs(s.p_sorted, s.p_sorted_log, scratch.data() + low_count);
    double spread_o = 0, spread_p = 0;
    for (std::size_t k = 0; k < low_count; ++k) {
      spread_o += ln_o[k] - ln_o.front();
      spread_p += ln_p[k] - ln_p.front();
    }
    if (spread_o != 0) out.Set(ExtendedStat::FdcFlv, -100 * (spread_p - spread_o) / spread_o);
  }

  // Mid-segment slope bias: 100 * ((ln P(20 %) - ln P(70 %)) - (ln O(20 %) - ln O(70 %))) /
  // (ln O(20 %) - ln O(70 %)). The 20 % flow needs 0.2 (n + 1) >= 1, so 4 pairs or more.
  if (count >= 4) {
    const double o20 = FlowAt(s.o_sorted, 20), o70 = FlowAt(s.o_sorted, 70);
    const double p20 = FlowAt(s.p_sorted, 20), p70 = FlowAt(s.p_sorted, 70);
    if (o70 > 0 && p70 > 0 && o20 != o70) {  // the 20 % flow is the larger of each pair
      const double slope_o = LogOf(o20) - LogOf(o70);
      const double slope_p = LogOf(p20) - LogOf(p70);
      out.Set(ExtendedStat::FdcFms, 100 * (slope_p - slope_o) / slope_o);
    }
  }
  return out.Stats();
}

PairRule PairRuleOf(const RunContext& ctx) {
  const AnalysisRequest& req = ctx.session.request;
  return {ctx.settings.GlobalMissingCode, ctx.host.SwitchOn(RunSwitch::ApplyBounds), req.LowerBound,
          req.UpperBound};
}

std::vector<ExtendedStats> ExtendedStatsOfModels(std::span<const double> observed,
                                                 const std::vector<std::span<const double>>& models,
                                                 const PairRule& rule) {
  ValueSorter sorter;
  const ObservedOrder order = OrderObserved(observed, rule, sorter);
  PairedSeries series;
  ExtendedRoom room;
  std::vector<ExtendedStats> all;
  all.reserve(models.size());
  for (std::span<const double> modelled : models) {
    PairRows(observed, modelled, order, rule, sorter, series);
    all.push_back(ExtendedStatsOfPairs(series, room));
  }
  return all;
}

ExtendedStats ExtendedStatsOf(std::span<const double> observed, std::span<const double> modelled,
                              const PairRule& rule) {
  return ExtendedStatsOfModels(observed, {modelled}, rule).front();
}

std::vector<ExtendedStats> CalcExtendedStats(const RunContext& ctx, std::int16_t first,
                                             std::int16_t last) {
  const int rows = ctx.session.counters.RowCount;
  if (rows < 0 || rows > DataTable::kRows) throw RunTimeError(err::kSubscript);
  if (first > last) return {};
  if (first < 2 || last > DataTable::kCols) throw RunTimeError(err::kSubscript);
  const DataTable& table = ctx.session.table;
  const auto length = static_cast<std::size_t>(rows);
  std::vector<std::span<const double>> models;
  for (int c = first; c <= last; ++c) models.emplace_back(table.Column(c), length);
  return ExtendedStatsOfModels({table.Column(1), length}, models, PairRuleOf(ctx));
}

}  // namespace quelvaris
