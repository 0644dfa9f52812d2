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

// A modelled series' stored record of its complete figures.
ModelledRecord RecordOf(const SeriesStats& stats);

}  // namespace quelvaris
