#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/error_stats.h"
#include "engine/series_figures.h"
#include "engine/series_stats.h"

namespace quelvaris {

// What the error statistics of a model take besides the two series: the basic statistics of
// both (the series means, spreads and peaks they are built on) and the AIC/BIC inputs.
struct ErrorInputs {
  const SeriesStats& observed;
  const ModelledRecord& modelled;
  int parameters = 0;  // AIC/BIC: model parameters p (0: no criteria)
  int points = 0;      // and calibration points m
  // ln O of each row where O > 0, worked out once for all the models of a run; empty: each
  // model works them out itself. Either way the same logarithm of the same value.
  std::span<const double> observed_logs = {};
  // ln P of each row where P > 0, likewise, for a caller that scores many spans of one column.
  std::span<const double> modelled_logs = {};
};

// Room a computation keeps from one model to the next, so that a run allocates once.
struct ErrorScratch {
  std::vector<double> percentage_errors;
  std::vector<double> changes;
};

// Sums of one pass over the usable pairs. E = O - P throughout (observed minus modelled).
struct PairSums {
  double e = 0;              // sum of E
  double abs_e = 0;          // sum of |E|
  double max_abs_e = -9999;  // largest |E|; the starting value is what n = 0 reports
  double abs_dev_o = 0;      // sum of |O - mean O|
  double o = 0;              // sum of O over the pairs
  double e2 = 0;             // sum of E^2
  double e4 = 0;             // sum of E^4
  double dev_o2 = 0;         // sum of (O - mean O)^2
  double agreement = 0;      // sum of (|P - mean O| + |O - mean O|)^2
  double cross = 0;          // sum of (P - mean P)(O - mean O)
  double dev_p2 = 0;         // sum of (P - mean P)^2
  double rel2 = 0;           // sum of (E/O)^2, O != 0
  double rel = 0;            // sum of E/O
  double abs_rel = 0;        // sum of |E/O|
  double log2 = 0;           // sum of (ln O - ln P)^2, O > 0 and P > 0
  double change2 = 0;        // sum of (O - previous O)^2
  double persistence = 0;    // sum of (P - O)^2 over rows with a previous pair
  double derivative = 0;     // sum of ((O - prev O) - (P - prev P))^2
  std::int64_t zero_observed = 0;
  std::int64_t log_count = 0;
  std::int64_t derivative_pairs = 0;
  std::int64_t sign_changes = -1;  // the first non-zero error brings it to 0
};

// Everything the 26 figures are finished from: the pass's sums and the few figures of the
// pass that are no sums (the spread of the observed changes, the middle of the percentage
// errors).
struct ErrorSums {
  PairSums s;
  std::int64_t pairs = 0;  // usable pairs
  // Sum of squared deviations of the observed changes from their mean, when there are at
  // least 4 changes (s.derivative_pairs counts them).
  double change_dev2 = 0;
  // The middle percentage errors (one per pair with O != 0, pairs - s.zero_observed of them)
  // when there are at least 3: the one at position count / 2 (from 0, ascending) and, for an
  // even count, the one before it.
  double middle = 0;
  double below_middle = 0;
};

// The 26 figures from their sums, the finishing step of ErrorFiguresOf. Raises RunTimeError
// for a fault.
ErrorStats ErrorFiguresFromSums(const ErrorSums& sums, const SeriesRule& rule,
                                const ErrorInputs& inputs);

// The 26 error statistics of a modelled series against the observed one, row by row (rows
// beyond the shorter series are not read), the one computation behind every front end. Rows
// with either value missing or outside the bounds are left out; the threshold of `rule` is not
// used. `counts` is filled before any fault is raised. A fault raises RunTimeError and no
// figure is returned.
ErrorStats ErrorFiguresOf(std::span<const double> observed, std::span<const double> modelled,
                          const SeriesRule& rule, const ErrorInputs& inputs, SeriesCounts& counts,
                          ErrorScratch& scratch);

}  // namespace quelvaris
