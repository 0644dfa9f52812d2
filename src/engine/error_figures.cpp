#include "engine/error_figures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/short_selection.h"
#include "platform/checked_math.h"
#include "platform/int16.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

// True while every sum of the pass is finite. The data are finite and every division in the
// pass is guarded, so the only possible fault is an overflow, and an infinity or NaN never
// leaves a sum once in it: one look at the sums after the pass tells whether any step faulted.
bool AllFinite(const PairSums& s) {
  for (double v :
       {s.e, s.abs_e, s.max_abs_e, s.abs_dev_o, s.o, s.e2, s.e4, s.dev_o2, s.agreement, s.cross,
        s.dev_p2, s.rel2, s.rel, s.abs_rel, s.log2, s.change2, s.persistence, s.derivative}) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// The one pass over the pairs of a model and everything it leaves for the finishing steps.
struct PairPass {
  PairPass(std::span<const double> o, std::span<const double> p, const SeriesRule& rule,
           const ErrorInputs& inputs, ErrorScratch& scratch)
      : observed(o.data()),
        modelled(p.data()),
        rows(static_cast<std::int64_t>(std::min(o.size(), p.size()))),
        mc(rule.missing_code),
        bounds(rule.apply_bounds),
        lower(rule.lower),
        upper(rule.upper),
        mean_o(inputs.observed.Mean),
        mean_p(inputs.modelled.Mean),
        log_o(inputs.observed_logs.size() >= o.size() ? inputs.observed_logs.data() : nullptr),
        log_p(inputs.modelled_logs.size() >= p.size() ? inputs.modelled_logs.data() : nullptr),
        percentage_errors(scratch.percentage_errors),
        changes(scratch.changes) {}

  const double* observed;
  const double* modelled;
  std::int64_t rows;
  double mc;
  bool bounds;
  double lower;
  double upper;
  double mean_o;  // the series means of the basic statistics
  double mean_p;
  const double* log_o;
  const double* log_p;

  PairSums s;
  std::int64_t missing = 0;
  std::int64_t out_of_bounds = 0;
  std::vector<double>& percentage_errors;
  std::vector<double>& changes;
  double change_total = 0;  // of the observed changes, in the order of the rows
  double change_dev2 = 0;   // their squared deviations from their mean, with 4 or more

  // A row whose two values take part in the figures (neither missing nor out of bounds).
  bool Usable(double o, double p) const {
    if (o == mc || p == mc) return false;
    return !(bounds && (o > upper || o < lower || p > upper || p < lower));
  }

  // The fast form (kStepwise false) accumulates in plain doubles and checks them once at the
  // end, which keeps the loop that runs for every pair of every column at full speed. When that
  // check finds a fault, the pass is run again stepwise: it stops at the first pair after which
  // a sum is no longer finite, so the counts are those the routine had reached at its fault.
  // True when no step faulted.
  //
  // The fast form takes the logarithms in a loop of their own: a call in the main loop would
  // send every running sum through memory on each row (no vector register outlives a call).
  // The deviations of the changes are summed in the same loop, whose calls leave time for
  // them. Every sum is still added up in the order of the rows.
  template <bool kStepwise>
  bool Run() {
    s = PairSums();
    missing = 0;
    out_of_bounds = 0;
    change_total = 0;
    change_dev2 = 0;
    // Room for one entry per row, written through pointers and cut to the entries made; the
    // room stays from one model to the next.
    const auto room = static_cast<std::size_t>(rows);
    if (percentage_errors.size() < room) percentage_errors.resize(room);
    if (changes.size() < room) changes.resize(room);
    double* const percentage_out = percentage_errors.data();
    double* const change_out = changes.data();
    std::size_t percentages = 0;
    std::size_t change_count = 0;

    int sign = 0;
    bool has_previous = false;  // the row just before was a usable pair
    double prev_o = 0;
    double prev_p = 0;

    for (std::int64_t i = 0; i < rows; ++i) {
      const double o = observed[i];
      const double p = modelled[i];
      if (o == mc || p == mc) {
        ++missing;  // once per row, even when both are missing
        has_previous = false;
        continue;
      }
      if (bounds && (o > upper || o < lower || p > upper || p < lower)) {
        ++out_of_bounds;
        has_previous = false;
        continue;
      }

      const double e = o - p;
      const double abs_e = std::fabs(e);
      const double dev_o = o - mean_o;
      const double abs_dev_o = std::fabs(dev_o);
      const double dev_p = p - mean_p;
      const double e2 = e * e;
      s.e += e;
      s.abs_e += abs_e;
      if (abs_e > s.max_abs_e) s.max_abs_e = abs_e;
      s.abs_dev_o += abs_dev_o;
      s.o += o;
      s.e2 += e2;
      s.e4 += e2 * e2;
      s.dev_o2 += dev_o * dev_o;
      const double agreement = std::fabs(p - mean_o) + abs_dev_o;
      s.agreement += agreement * agreement;
      s.cross += dev_p * dev_o;
      s.dev_p2 += dev_p * dev_p;

      if (o == 0) {
        ++s.zero_observed;
      } else {
        const double rel = e / o;
        s.rel2 += rel * rel;
        s.rel += rel;
        s.abs_rel += std::fabs(rel);
        // |(P - O) / O| * 100; P - O is exactly -(O - P), so this is |E / O| * 100.
        percentage_out[percentages++] = std::fabs(rel) * 100;
      }
      if constexpr (kStepwise) {
        if (o > 0 && p > 0) AddLog(i, o, p);
      }

      // A zero error keeps the sign state; skipped rows do not reset it. Written without
      // branches (as arithmetic: a selection between constants still came out as jumps): the
      // sign of a model's error is close to a coin toss, which a branch predictor cannot learn.
      const int positive = e > 0;
      const int negative = e < 0;
      const int new_sign = sign + (positive | negative) * (positive - negative - sign);
      s.sign_changes += new_sign != sign;
      sign = new_sign;

      // Only rows whose predecessor in the table was usable form a consecutive pair.
      if (has_previous) {
        const double change = o - prev_o;
        s.change2 += change * change;
        s.persistence += e2;  // (P - O)^2
        change_out[change_count++] = change;
        change_total += change;
        const double derivative_error = change - (p - prev_p);
        s.derivative += derivative_error * derivative_error;
        ++s.derivative_pairs;
      }
      has_previous = true;
      prev_o = o;
      prev_p = p;
      if constexpr (kStepwise) {
        if (!AllFinite(s)) {
          percentage_errors.resize(percentages);
          changes.resize(change_count);
          return false;
        }
      }
    }
    percentage_errors.resize(percentages);
    changes.resize(change_count);
    const auto spread_from = static_cast<std::int64_t>(change_count >= 4 ? change_count : 0);
    const double change_mean =
        change_total / static_cast<double>(std::max<std::size_t>(change_count, 1));
    double dev2 = 0;
    const auto add_deviation = [&](std::int64_t k) {
      const double dev = change_out[k] - change_mean;
      dev2 += dev * dev;
    };
    if constexpr (kStepwise) {
      for (std::int64_t k = 0; k < spread_from; ++k) add_deviation(k);
    } else if (log_o != nullptr && log_p != nullptr) {
      // Both logarithms at hand: no call in the loop, and the sum stays in a register.
      double log2 = s.log2;
      std::int64_t log_count = 0;
      for (std::int64_t i = 0; i < rows; ++i) {
        if (i < spread_from) add_deviation(i);
        const double o = observed[i];
        const double p = modelled[i];
        if (!(Usable(o, p) && o > 0 && p > 0)) continue;
        const double l = log_o[i] - log_p[i];
        log2 += l * l;
        ++log_count;
      }
      s.log2 = log2;
      s.log_count += log_count;
    } else {
      // The logarithms are taken a batch at a time and summed after each batch, so that the
      // sum stays in a register.
      std::array<double, kLogBatch> ln_o, ln_p;
      std::size_t batch = 0;
      for (std::int64_t i = 0; i < rows; ++i) {
        if (i < spread_from) add_deviation(i);
        const double o = observed[i];
        const double p = modelled[i];
        if (!(Usable(o, p) && o > 0 && p > 0)) continue;
        ln_o[batch] = log_o != nullptr ? log_o[i] : std::log(o);
        ln_p[batch] = std::log(p);
        if (++batch == kLogBatch) {
          AddLogs(ln_o.data(), ln_p.data(), batch);
          batch = 0;
        }
      }
      AddLogs(ln_o.data(), ln_p.data(), batch);
    }
    change_dev2 = dev2;
    return AllFinite(s);
  }

  static constexpr std::size_t kLogBatch = 256;

  // (ln O - ln P)^2 of a usable row with both values positive.
  void AddLog(std::int64_t i, double o, double p) {
    const double l =
        (log_o != nullptr ? log_o[i] : std::log(o)) - (log_p != nullptr ? log_p[i] : std::log(p));
    s.log2 += l * l;
    ++s.log_count;
  }

  void AddLogs(const double* ln_o, const double* ln_p, std::size_t count) {
    double sum = s.log2;
    for (std::size_t k = 0; k < count; ++k) {
      const double l = ln_o[k] - ln_p[k];
      sum += l * l;
    }
    s.log2 = sum;
    s.log_count += static_cast<std::int64_t>(count);
  }
};

// The k-th smallest value (0-based) and, when `with_lower`, the (k-1)-th too.
struct OrderStats {
  double kth;
  double below;
};

// Selection that avoids most of the mispredicted branches of a plain nth_element over the
// whole list (which took nearly half the time of a column's error statistics). A sorted sample
// of the list brackets the wanted ranks with high probability; one branch-free pass counts the
// values under the bracket and gathers those inside it (a quarter of the list, or a tenth with
// the larger sample of a long list), and only those are selected from. When the bracket misses
// (rare: the sample misjudged where the middle lies) the whole list is selected from instead;
// a short list (a month of days) goes to the selection made for short lists. The result is the
// same order statistic either way.
OrderStats SelectMiddle(std::vector<double>& values, std::vector<double>& scratch, std::size_t k,
                        bool with_lower) {
  const std::size_t n = values.size();
  constexpr std::size_t kShort = 64;
  if (n <= kShort) {
    const RankedPair ranked = SelectRanked(values, k, scratch);
    return {ranked.kth, with_lower ? ranked.below : ranked.kth};
  }
  constexpr std::size_t kLargeSample = 1024;
  const bool long_list = n >= 128 * kLargeSample;
  const std::size_t sample_size = long_list ? kLargeSample : 128;
  const std::size_t margin = long_list ? 48 : 16;
  if (n >= 8 * sample_size) {
    std::array<double, kLargeSample> sample;
    for (std::size_t i = 0; i < sample_size; ++i) sample[i] = values[i * n / sample_size];
    std::sort(sample.begin(), sample.begin() + static_cast<long>(sample_size));
    const std::size_t at = k * sample_size / n;
    const double lo = sample[at > margin ? at - margin : 0];
    const double hi = sample[std::min(sample_size - 1, at + margin)];

    scratch.resize(n);
    std::size_t under = 0;
    std::size_t inside = 0;
    for (double v : values) {
      under += v < lo;
      scratch[inside] = v;
      inside += (v >= lo) & (v <= hi);
    }
    const std::size_t first_rank = with_lower ? k - 1 : k;
    if (under <= first_rank && k < under + inside) {
      auto begin = scratch.begin();
      auto mid = begin + static_cast<long>(k - under);
      std::nth_element(begin, mid, begin + static_cast<long>(inside));
      const double below = with_lower ? *std::max_element(begin, mid) : *mid;
      return {*mid, below};
    }
  }
  auto mid = values.begin() + static_cast<long>(k);
  std::nth_element(values.begin(), mid, values.end());
  const double below = with_lower ? *std::max_element(values.begin(), mid) : *mid;
  return {*mid, below};
}

// The bit of a figure in ErrorStats::undefined, as a constant.
template <double ErrorStats::*kField>
constexpr std::uint32_t kBit = ErrorStatBit(kField);

// Sample standard deviation of the observed changes from their squared deviations, or 0 when
// it is not defined here.
double ChangeSpread(double dev2, std::int64_t count) {
  if (dev2 == 0) return 0;
  return CheckedSqrt(CheckedDiv(dev2, static_cast<double>(count) - 1));
}

}  // namespace

ErrorStats ErrorFiguresOf(std::span<const double> observed, std::span<const double> modelled,
                          const SeriesRule& rule, const ErrorInputs& inputs, SeriesCounts& counts,
                          ErrorScratch& scratch) {
  PairPass pass(observed, modelled, rule, inputs, scratch);
  const bool clean = pass.Run<false>() || pass.Run<true>();
  counts.missing = pass.missing;
  counts.out_of_bounds = pass.out_of_bounds;
  if (!clean) throw RunTimeError(err::kOverflow);

  ErrorSums sums;
  sums.s = pass.s;
  sums.pairs = pass.rows - (pass.missing + pass.out_of_bounds);
  std::vector<double>& percentage_errors = pass.percentage_errors;
  std::vector<double>& changes = pass.changes;
  if (changes.size() >= 4) {
    Checked(pass.change_total);
    sums.change_dev2 = Checked(pass.change_dev2);
  }
  // The change list is spent by now and serves as the selection's scratch space.
  if (percentage_errors.size() >= 3) {
    const std::size_t c = percentage_errors.size();
    const OrderStats middle = SelectMiddle(percentage_errors, changes, c / 2, c % 2 == 0);
    sums.middle = middle.kth;
    sums.below_middle = middle.below;
  }
  return ErrorFiguresFromSums(sums, rule, inputs);
}

ErrorStats ErrorFiguresFromSums(const ErrorSums& sums, const SeriesRule& rule,
                                const ErrorInputs& inputs) {
  const double mc = rule.missing_code;
  const SeriesStats& obs = inputs.observed;
  const ModelledRecord& mod = inputs.modelled;
  const PairSums& s = sums.s;
  const std::int64_t n = sums.pairs;
  const std::int64_t n_rel = n - s.zero_observed;

  ErrorStats r;
  r.undefined = 0;
  // An undefined figure keeps the value the report shows for it and is marked, since the
  // code itself can be a true figure. `undefined` marks one and gives it the code.
  const auto mark = [&r](std::uint32_t bits) { r.undefined |= bits; };
  const auto undefined = [&](std::uint32_t bit) {
    mark(bit);
    return mc;
  };

  // Root mean squared error.
  r.RMSE = n == 0 ? undefined(kBit<&ErrorStats::RMSE>) : CheckedSqrt(CheckedDiv(s.e2, n));
  // Mean squared relative error, over the pairs with O != 0.
  r.MSRE = n_rel == 0 ? undefined(kBit<&ErrorStats::MSRE>) : CheckedDiv(s.rel2, n_rel);

  // Pearson's product-moment correlation, about the series means of the basic statistics.
  const double correl_den = CheckedSqrt(CheckedMul(s.dev_o2, s.dev_p2));
  const bool correl_defined = correl_den != 0;
  const double correl = correl_defined ? CheckedDiv(s.cross, correl_den) : 0;
  r.CorrelCoeff = correl;
  if (!correl_defined) mark(kBit<&ErrorStats::CorrelCoeff>);  // shown as 0
  // Coefficient of determination.
  r.RSqr = correl_defined ? CheckedMul(correl, correl) : undefined(kBit<&ErrorStats::RSqr>);

  // Nash-Sutcliffe coefficient of efficiency.
  r.CofE = s.dev_o2 == 0 ? undefined(kBit<&ErrorStats::CofE>)
                         : CheckedSub(1, CheckedDiv(s.e2, s.dev_o2));
  // Willmott's index of agreement d.
  r.IoAd = s.agreement <= 0 ? undefined(kBit<&ErrorStats::IoAd>)
                            : CheckedSub(1, CheckedDiv(s.e2, s.agreement));
  // Absolute maximum error; without a pair it keeps its starting value.
  r.AME = s.max_abs_e;
  if (n == 0) mark(kBit<&ErrorStats::AME>);
  // Peak difference: modelled maximum less observed maximum.
  r.PDIFF = CheckedSub(mod.Max, obs.Max);
  // Mean absolute error.
  r.MAE = n == 0 ? undefined(kBit<&ErrorStats::MAE>) : CheckedDiv(s.abs_e, n);
  // Mean error, as modelled minus observed (positive when the model overshoots); shown as 0
  // without a pair.
  r.ME = n == 0 ? 0 : -CheckedDiv(s.e, n);
  if (n == 0) mark(kBit<&ErrorStats::ME>);
  // Fourth root of the mean quartic error, as two square roots.
  r.R4MS4E =
      n == 0 ? undefined(kBit<&ErrorStats::R4MS4E>) : CheckedSqrt(CheckedSqrt(CheckedDiv(s.e4, n)));
  // Number of sign changes of the errors; -1 (its starting value) when no error had a sign.
  r.NSC = s.sign_changes;
  if (s.sign_changes < 0) mark(kBit<&ErrorStats::NSC>);
  // Relative absolute error.
  r.RAE = s.abs_dev_o <= 0 ? undefined(kBit<&ErrorStats::RAE>) : CheckedDiv(s.abs_e, s.abs_dev_o);
  // Percent error in peak.
  r.PEP = obs.Max == 0 ? undefined(kBit<&ErrorStats::PEP>)
                       : CheckedDiv(CheckedMul(r.PDIFF, 100), obs.Max);
  // Mean absolute relative error.
  r.MARE = n_rel == 0 ? undefined(kBit<&ErrorStats::MARE>) : CheckedDiv(s.abs_rel, n_rel);
  // Mean relative error, as (P - O) / O.
  r.MRE = n_rel == 0 ? undefined(kBit<&ErrorStats::MRE>) : -CheckedDiv(s.rel, n_rel);
  // Relative volume error, as sum of (P - O) over the sum of O of the pairs.
  r.RVE = s.o <= 0 ? undefined(kBit<&ErrorStats::RVE>) : -CheckedDiv(s.e, s.o);
  // Persistence index: against the naive model "the next value is the last observed one".
  r.PI = s.change2 == 0 ? undefined(kBit<&ErrorStats::PI>)
                        : CheckedSub(1, CheckedDiv(s.persistence, s.change2));
  // Mean squared logarithmic error, over the pairs with both values positive.
  r.MSLE = s.log_count == 0 ? undefined(kBit<&ErrorStats::MSLE>) : CheckedDiv(s.log2, s.log_count);
  // Mean squared derivative error; the divisor is the number of consecutive pairs less one.
  r.MSDE = s.derivative_pairs < 2 ? undefined(kBit<&ErrorStats::MSDE>)
                                  : CheckedDiv(s.derivative, s.derivative_pairs - 1);
  // Volumetric efficiency, against the observed series' own sum.
  // Without a pair it comes out as 1, which is no efficiency of anything.
  r.VE =
      obs.Sum == 0 ? undefined(kBit<&ErrorStats::VE>) : CheckedSub(1, CheckedDiv(s.abs_e, obs.Sum));
  if (n == 0) mark(kBit<&ErrorStats::VE>);

  // Kling-Gupta efficiency from r, the ratio of spreads alpha and the ratio of means beta.
  // A spread or mean that happens to equal the missing-data code is a true figure: only a
  // zero observed SD or mean leaves alpha or beta undefined.
  r.KGE = undefined(kBit<&ErrorStats::KGE>);
  if (correl_defined) {
    const bool alpha_defined = obs.SD != 0;
    const bool beta_defined = obs.Mean != 0;
    if (alpha_defined && beta_defined) {
      const double alpha = CheckedDiv(mod.SD, obs.SD);
      const double beta = CheckedDiv(mod.Mean, obs.Mean);
      const double dr = correl - 1;
      const double da = alpha - 1;
      const double db = beta - 1;
      const double dist = CheckedSqrt(
          CheckedAdd(CheckedAdd(CheckedMul(dr, dr), CheckedMul(da, da)), CheckedMul(db, db)));
      r.KGE = CheckedSub(1, dist);
      r.undefined &= ~kBit<&ErrorStats::KGE>;
    }
  }

  // RMSE relative to the spread (sample SD) of the observed changes. Equal changes (a constant
  // or evenly rising series) leave it undefined rather than dividing by zero.
  r.IRMSE = undefined(kBit<&ErrorStats::IRMSE>);
  if (s.derivative_pairs >= 4) {
    const double spread = ChangeSpread(sums.change_dev2, s.derivative_pairs);
    if (spread != 0) {
      r.IRMSE = CheckedDiv(r.RMSE, spread);
      r.undefined &= ~kBit<&ErrorStats::IRMSE>;
    }
  }

  // Median absolute percentage error: the middle value or, for an even count, the mean of
  // the middle two.
  if (n_rel < 3) {
    r.MdAPE = undefined(kBit<&ErrorStats::MdAPE>);
  } else {
    r.MdAPE =
        n_rel % 2 != 0 ? sums.middle : CheckedDiv(CheckedAdd(sums.middle, sums.below_middle), 2);
  }

  // Akaike and Bayesian information criteria from the RMSE, with m calibration points and p
  // parameters. An undefined RMSE leaves them undefined whatever the missing-data code is.
  const int p = inputs.parameters;
  const int m = inputs.points;
  r.AIC = undefined(kBit<&ErrorStats::AIC>);
  r.BIC = undefined(kBit<&ErrorStats::BIC>);
  if (n > 0 && r.RMSE > 0 && p > 0 && m > 0) {
    const double m_ln_rmse = CheckedMul(m, CheckedLog(r.RMSE));
    const std::int16_t two_p = ToInt16(2LL * p);
    r.AIC = CheckedAdd(m_ln_rmse, two_p);
    r.BIC = CheckedAdd(CheckedMul(p, CheckedLog(m)), m_ln_rmse);
    r.undefined &= ~(kBit<&ErrorStats::AIC> | kBit<&ErrorStats::BIC>);
  }

  // Figures built on basic statistics that this run did not reach (a modelled column with
  // fewer than 4 usable values keeps its older record) are shown as they come out, but they
  // are no figures of this run.
  const std::uint8_t basic_undefined = obs.undefined | mod.undefined;
  if (basic_undefined & (kMeanFigure | kSDFigure)) {
    mark(kBit<&ErrorStats::CorrelCoeff> | kBit<&ErrorStats::RSqr> | kBit<&ErrorStats::KGE>);
  }
  if (obs.undefined & kMeanFigure) {
    mark(kBit<&ErrorStats::CofE> | kBit<&ErrorStats::IoAd> | kBit<&ErrorStats::RAE> |
         kBit<&ErrorStats::VE>);
  }
  if (basic_undefined & kMaxFigure) mark(kBit<&ErrorStats::PDIFF> | kBit<&ErrorStats::PEP>);
  return r;
}

}  // namespace quelvaris
