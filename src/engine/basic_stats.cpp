#include "engine/basic_stats.h"

#include <cmath>
#include <exception>
#include <limits>
#include <string>

#include "engine/analysis_run.h"
#include "platform/checked_math.h"
#include "platform/int16.h"
#include "platform/run_time_error.h"
#include "settings/error_reporter.h"

namespace quelvaris {

namespace {

// Starting values kept for a series without a single usable value: reports and files of
// earlier versions show them there, and users recognise them as "nothing to show".
constexpr double kObservedMinStart = 9999;
constexpr double kModelledMinStart = 99999;
constexpr double kMaxStart = -9999;

constexpr double kInf = std::numeric_limits<double>::infinity();

void CheckRowCount(int row_count) {
  if (row_count < 0 || row_count > DataTable::kRows) throw RunTimeError(err::kSubscript);
}

// What the first pass over a series reaches: its counts, the running sum and the extremes.
struct FirstPass {
  int missing = 0;
  int out_of_bounds = 0;
  int over_threshold = 0;
  double sum = 0;
  double lo = kInf;  // lo <= hi once a usable value has been seen
  double hi = -kInf;
  bool overflowed = false;  // the pass stopped at an addition that overflowed the sum
};

// The first pass over rows 1 to `rows`. The fast form (kStepwise false) checks nothing: a pass
// can only fail by overflowing the sum (the data are finite and nothing is divided), and an
// infinity or NaN, once in the sum, stays there, so one check afterwards tells whether a fault
// arose. Only then is the pass run again stepwise, stopping before the addition that overflows,
// so that the counts and extremes are those the routine had reached at its fault and no later
// value (a larger maximum, a count past that row) is ever reported.
template <bool kStepwise>
FirstPass RunFirstPass(const double* x, int rows, double missing_code, bool bounds, double lower,
                       double upper, double threshold) {
  FirstPass p;
  for (int i = 0; i < rows; ++i) {
    const double v = x[i];
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

// Both routines run these steps on their own record. Returns true when the record is complete
// (at least 4 usable values and no fault), false when there were too few usable values. The
// steps after the first pass are checked one by one.
bool SeriesFigures(const RunContext& ctx, int column, SeriesStats& rec, double min_start) {
  AnalysisSession& session = ctx.session;
  const AnalysisRequest& req = session.request;
  RunCounters& counters = session.counters;
  const double missing_code = ctx.settings.GlobalMissingCode;
  const bool bounds = ctx.host.SwitchOn(RunSwitch::ApplyBounds);
  const double lower = req.LowerBound;
  const double upper = req.UpperBound;
  const double threshold = req.Threshold;

  counters.MissingCount = 0;
  counters.OutOfBoundsCount = 0;
  rec.undefined = kAllBasicFigures;  // each figure is cleared once it is reached
  const int rows = counters.RowCount;
  CheckRowCount(rows);
  const double* x = session.table.Column(column);

  // Usable: not missing and, with bounds applied, within them (a value on a bound is usable).
  auto usable = [&](double v) {
    return v != missing_code && !(bounds && (v > upper || v < lower));
  };

  FirstPass pass = RunFirstPass<false>(x, rows, missing_code, bounds, lower, upper, threshold);
  if (!std::isfinite(pass.sum)) {
    pass = RunFirstPass<true>(x, rows, missing_code, bounds, lower, upper, threshold);
  }
  counters.MissingCount = ToInt16(static_cast<long long>(pass.missing));
  counters.OutOfBoundsCount = ToInt16(static_cast<long long>(pass.out_of_bounds));
  const bool any_usable = pass.lo <= pass.hi;
  const double lo = pass.lo;
  const double hi = pass.hi;

  // True extremes; the starting values only when nothing was usable.
  rec.Min = any_usable ? lo : min_start;
  rec.Max = any_usable ? hi : kMaxStart;
  rec.POT = ToInt16(static_cast<long long>(pass.over_threshold));
  rec.undefined &=
      static_cast<std::uint8_t>(any_usable ? ~(kMinFigure | kMaxFigure | kPOTFigure) : ~kPOTFigure);
  rec.Sum = pass.sum;
  if (pass.overflowed) throw RunTimeError(err::kOverflow);

  const std::int16_t n16 =
      Sub16(counters.RowCount, Add16(counters.OutOfBoundsCount, counters.MissingCount));
  const int n = n16;
  if (n < 4) return false;

  rec.OOB = counters.OutOfBoundsCount;
  rec.undefined &= static_cast<std::uint8_t>(~kOOBFigure);

  // A constant series is valid (a constant benchmark model is common). Its mean is the value
  // itself: a sum divided by n can miss it by an ulp and leave tiny deviations behind, which
  // would give a skewness of rounding noise. Skewness and kurtosis have no meaning here.
  if (lo == hi) {
    rec.Mean = lo;
    rec.SD = 0;
    rec.Skew = missing_code;
    rec.Kur = missing_code;
    rec.undefined &= static_cast<std::uint8_t>(~(kMeanFigure | kSDFigure));
    return true;
  }

  rec.Mean = CheckedDiv(rec.Sum, n);
  const double mean = rec.Mean;

  // Deviation powers as products: the same figures to every reported decimal as a general
  // power function, at a tenth of the cost.
  double s2 = 0;
  double s3 = 0;
  double s4 = 0;
  for (int i = 0; i < rows; ++i) {
    const double v = x[i];
    if (!usable(v)) continue;
    const double d = v - mean;
    const double d2 = d * d;
    s2 += d2;
    s3 += d2 * d;
    s4 += d2 * d2;
  }
  s2 = Checked(s2);
  s3 = Checked(s3);
  s4 = Checked(s4);

  // Population standard deviation (divisor n); moment coefficients of skewness and kurtosis,
  // the kurtosis not reduced by 3.
  rec.SD = CheckedSqrt(CheckedDiv(s2, n));
  const double sd2 = CheckedMul(rec.SD, rec.SD);
  rec.Skew = CheckedDiv(s3, CheckedMul(CheckedMul(sd2, rec.SD), n));
  rec.Kur = CheckedDiv(s4, CheckedMul(CheckedMul(sd2, sd2), n));
  rec.undefined &= static_cast<std::uint8_t>(~(kMeanFigure | kSDFigure | kSkewFigure | kKurFigure));
  return true;
}

void ReportColumnError(const RunContext& ctx, int number, int column) {
  ErrorReporter(ctx.host, number, "Column " + std::to_string(column) + ".");
  CloseFiles(ctx);
}

}  // namespace

void CalcObservedStats(const RunContext& ctx) {
  try {
    SeriesFigures(ctx, 1, ctx.session.ObservedStats, kObservedMinStart);
  } catch (const std::exception& e) {
    ReportColumnError(ctx, ErrorNumberOf(e), 1);
  }
}

void CalcModelledStats(const RunContext& ctx, std::int16_t column) {
  try {
    if (column < 2 || column > DataTable::kCols) throw RunTimeError(err::kSubscript);
    SeriesStats& rec = ctx.session.CurrentModelledStats;
    ModelledRecord& stored = ctx.session.ModelledStats[column];
    // Too few values leave the stored figures as they were (the reports show them), but they
    // are none of this run's.
    stored.undefined = kAllBasicFigures;
    if (!SeriesFigures(ctx, column, rec, kModelledMinStart)) return;
    stored.Mean = rec.Mean;
    stored.SD = rec.SD;
    stored.Skew = rec.Skew;
    stored.Kur = rec.Kur;
    stored.Min = rec.Min;
    stored.Max = rec.Max;
    stored.POT = rec.POT;
    stored.OOB = rec.OOB;
    stored.undefined = rec.undefined;
  } catch (const std::exception& e) {
    ReportColumnError(ctx, ErrorNumberOf(e), column);
  }
}

}  // namespace quelvaris
