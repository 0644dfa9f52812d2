#include "engine/series_figures.h"

#include <cmath>
#include <limits>

#include "platform/checked_math.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Fewer usable values than this and the series has no figures beyond its extremes.
constexpr std::int64_t kMinUsable = 4;

// What the first pass over a series reaches: its counts, the running sum and the extremes.
struct FirstPass {
  std::int64_t missing = 0;
  std::int64_t out_of_bounds = 0;
  std::int64_t over_threshold = 0;
  double sum = 0;
  double lo = kInf;  // lo <= hi once a usable value has been seen
  double hi = -kInf;
  bool overflowed = false;  // the pass stopped at an addition that overflowed the sum
};

// The first pass over the series. The fast form (kStepwise false) checks nothing: a pass can
// only fail by overflowing the sum (the data are finite and nothing is divided), and an
// infinity or NaN, once in the sum, stays there, so one check afterwards tells whether a fault
// arose. Only then is the pass run again stepwise, stopping before the addition that overflows,
// so that the counts and extremes are those the routine had reached at its fault and no later
// value (a larger maximum, a count past that row) is ever reported.
template <bool kStepwise>
FirstPass RunFirstPass(std::span<const double> x, const SeriesRule& rule) {
  FirstPass p;
  const double missing_code = rule.missing_code;
  const bool bounds = rule.apply_bounds;
  const double lower = rule.lower;
  const double upper = rule.upper;
  const double threshold = rule.threshold;
  for (const double v : x) {
    if (v == missing_code) {
      ++p.missing;
    } else if (bounds && (v > upper || v < lower)) {
      ++p.out_of_bounds;
    } else {
      if constexpr (kStepwise) {
        if (!std::isfinite(p.sum + v)) {
          p.overflowed = true;
          return p;
        }
      }
      p.sum += v;
      if (v > p.hi) p.hi = v;
      if (v < p.lo) p.lo = v;
      if (v > threshold) ++p.over_threshold;
    }
  }
  return p;
}

}  // namespace

SeriesStage SeriesFiguresFromTotals(const SeriesTotals& totals, const SeriesRule& rule,
                                    double min_start, SeriesStats& rec) {
  rec.undefined = kAllBasicFigures;  // each figure is cleared once it is reached
  const bool any_usable = totals.lo <= totals.hi;
  const double lo = totals.lo;
  const double hi = totals.hi;

  // True extremes; the starting values only when nothing was usable.
  rec.Min = any_usable ? lo : min_start;
  rec.Max = any_usable ? hi : kMaxStart;
  rec.POT = totals.over_threshold;
  rec.undefined &=
      static_cast<std::uint8_t>(any_usable ? ~(kMinFigure | kMaxFigure | kPOTFigure) : ~kPOTFigure);
  rec.Sum = totals.sum;
  if (totals.overflowed) throw RunTimeError(err::kOverflow);

  const std::int64_t n = totals.usable;
  if (n < kMinUsable) return SeriesStage::TooFew;

  rec.OOB = totals.out_of_bounds;
  rec.undefined &= static_cast<std::uint8_t>(~kOOBFigure);

  // A constant series is valid (a constant benchmark model is common). Its mean is the value
  // itself: a sum divided by n can miss it by an ulp and leave tiny deviations behind, which
  // would give a skewness of rounding noise. Skewness and kurtosis have no meaning here.
  if (lo == hi) {
    rec.Mean = lo;
    rec.SD = 0;
    rec.Skew = rule.missing_code;
    rec.Kur = rule.missing_code;
    rec.undefined &= static_cast<std::uint8_t>(~(kMeanFigure | kSDFigure));
    return SeriesStage::Complete;
  }
  rec.Mean = CheckedDiv(rec.Sum, static_cast<double>(n));
  return SeriesStage::NeedsDeviations;
}

void SeriesFiguresFromDeviations(const CentralSums& sums, std::int64_t usable, SeriesStats& rec) {
  const double count = static_cast<double>(usable);
  const double s2 = Checked(sums.s2);
  const double s3 = Checked(sums.s3);
  const double s4 = Checked(sums.s4);
  // Population standard deviation (divisor n); moment coefficients of skewness and kurtosis,
  // the kurtosis not reduced by 3.
  rec.SD = CheckedSqrt(CheckedDiv(s2, count));
  const double sd2 = CheckedMul(rec.SD, rec.SD);
  rec.Skew = CheckedDiv(s3, CheckedMul(CheckedMul(sd2, rec.SD), count));
  rec.Kur = CheckedDiv(s4, CheckedMul(CheckedMul(sd2, sd2), count));
  rec.undefined &= static_cast<std::uint8_t>(~(kMeanFigure | kSDFigure | kSkewFigure | kKurFigure));
}

bool SeriesFiguresOf(std::span<const double> x, const SeriesRule& rule, double min_start,
                     SeriesStats& rec, SeriesCounts& counts) {
  rec.undefined = kAllBasicFigures;
  FirstPass pass = RunFirstPass<false>(x, rule);
  if (!std::isfinite(pass.sum)) pass = RunFirstPass<true>(x, rule);
  counts.missing = pass.missing;
  counts.out_of_bounds = pass.out_of_bounds;
  const SeriesTotals totals{
      .usable = static_cast<std::int64_t>(x.size()) - (pass.out_of_bounds + pass.missing),
      .out_of_bounds = pass.out_of_bounds,
      .over_threshold = pass.over_threshold,
      .sum = pass.sum,
      .lo = pass.lo,
      .hi = pass.hi,
      .overflowed = pass.overflowed};
  const SeriesStage stage = SeriesFiguresFromTotals(totals, rule, min_start, rec);
  if (stage != SeriesStage::NeedsDeviations) return stage == SeriesStage::Complete;

  // Deviation powers as products: the same figures to every reported decimal as a general
  // power function, at a tenth of the cost.
  const double mean = rec.Mean;
  CentralSums sums;
  for (const double v : x) {
    if (!rule.Usable(v)) continue;
    const double d = v - mean;
    const double d2 = d * d;
    sums.s2 += d2;
    sums.s3 += d2 * d;
    sums.s4 += d2 * d2;
  }
  SeriesFiguresFromDeviations(sums, totals.usable, rec);
  return true;
}

ModelledRecord RecordOf(const SeriesStats& stats) {
  ModelledRecord stored;
  stored.Mean = stats.Mean;
  stored.SD = stats.SD;
  stored.Skew = stats.Skew;
  stored.Kur = stats.Kur;
  stored.Min = stats.Min;
  stored.Max = stats.Max;
  stored.POT = static_cast<double>(stats.POT);
  stored.OOB = static_cast<double>(stats.OOB);
  stored.undefined = stats.undefined;
  return stored;
}

}  // namespace quelvaris
