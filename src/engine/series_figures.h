#pragma once

#include <cstdint>
#include <span>

#include "engine/series_stats.h"

namespace quelvaris {

// Which values of a series count, and the threshold of its peaks-over-threshold count.
// Usable: not the missing-data code and, with bounds applied, within them (a value on a bound
// is usable).
struct SeriesRule {
  double missing_code = -999;
  bool apply_bounds = false;
  double lower = 0;
  double upper = 9999;
  double threshold = 0;

  bool Missing(double v) const { return v == missing_code; }
  bool OutOfBounds(double v) const { return apply_bounds && (v > upper || v < lower); }
  bool Usable(double v) const { return !Missing(v) && !OutOfBounds(v); }
};

// What a pass over a series (or a pair of series) counted. Wide: a series may be as long as
// the memory holds.
struct SeriesCounts {
  std::int64_t missing = 0;
  std::int64_t out_of_bounds = 0;
};

// The starting extremes that a series without a single usable value keeps: reports and files
// of earlier versions show them there, and users recognise them as "nothing to show".
inline constexpr double kObservedMinStart = 9999;
inline constexpr double kModelledMinStart = 99999;
inline constexpr double kMaxStart = -9999;

// The basic statistics of one series into `rec`, the one computation behind every front end.
// Returns true when the figures are complete (at least 4 usable values), false when there were
// too few usable values (the extremes and POT are set all the same). `counts` is filled before
// any fault is raised, so a caller reports the counts the pass had reached. A fault (an
// overflow, a division by zero) raises RunTimeError; the figures reached by then stay in `rec`
// and every other one is marked undefined.
bool SeriesFiguresOf(std::span<const double> x, const SeriesRule& rule, double min_start,
                     SeriesStats& rec, SeriesCounts& counts);

// What the figures of a series are finished from: the counts, sum and extremes of its usable
// values, however they were summed (row by row, or stretch by stretch of a resampled record).
struct SeriesTotals {
  std::int64_t usable = 0;
  std::int64_t out_of_bounds = 0;
  std::int64_t over_threshold = 0;
  double sum = 0;
  double lo = 0;  // lo <= hi when any value is usable
  double hi = 0;
  bool overflowed = false;  // the sum overflowed: a fault once the extremes are in place
};

// The sums of the usable values' deviations from the series mean, squared, cubed and to the
// fourth power.
struct CentralSums {
  double s2 = 0;
  double s3 = 0;
  double s4 = 0;
};

// Where the finishing from the totals leaves a series' figures.
enum class SeriesStage {
  TooFew,           // fewer than 4 usable values: only the extremes and POT
  Complete,         // every figure in place (a constant series)
  NeedsDeviations,  // SD, Skew and Kur wait for the deviation sums about rec.Mean
};

// The figures that the totals alone give (extremes, POT, OOB, and the mean): the first half of
// SeriesFiguresOf's finishing. Raises RunTimeError for an overflowed sum, once the extremes
// are in `rec`.
SeriesStage SeriesFiguresFromTotals(const SeriesTotals& totals, const SeriesRule& rule,
                                    double min_start, SeriesStats& rec);

// The second half: SD, Skew and Kur from the deviation sums of `usable` values.
void SeriesFiguresFromDeviations(const CentralSums& sums, std::int64_t usable, SeriesStats& rec);

// A modelled series' stored record of its complete figures.
ModelledRecord RecordOf(const SeriesStats& stats);

}  // namespace quelvaris
