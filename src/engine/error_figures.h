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
};

// Room a computation keeps from one model to the next, so that a run allocates once.
struct ErrorScratch {
  std::vector<double> percentage_errors;
  std::vector<double> changes;
};

// The 26 error statistics of a modelled series against the observed one, row by row (rows
// beyond the shorter series are not read), the one computation behind every front end. Rows
// with either value missing or outside the bounds are left out; the threshold of `rule` is not
// used. `counts` is filled before any fault is raised. A fault raises RunTimeError and no
// figure is returned.
ErrorStats ErrorFiguresOf(std::span<const double> observed, std::span<const double> modelled,
                          const SeriesRule& rule, const ErrorInputs& inputs, SeriesCounts& counts,
                          ErrorScratch& scratch);

}  // namespace quelvaris
