#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/extended_stats.h"
#include "engine/run_context.h"

namespace quelvaris::ui {

// The series of a run that the extended figures are computed from, copied out of the session
// so that the window stays valid whatever later runs do to the data table. The figures
// themselves wait until the window is first opened: a run whose user never asks for them
// does not pay for them.
struct ExtendedRun {
  std::vector<int> columns;        // each analysed modelled column
  std::vector<std::string> names;  // the header's name of each column above; empty without one
  std::vector<double> observed;
  std::vector<std::vector<double>> modelled;  // one per column above
  PairRule rule;
  std::string pattern;    // the report's ResultFormat
  std::string data_file;  // the data file's path, as the run opened it

  std::vector<ExtendedStats> Figures() const;
};

// How much a model's paired rows vary: the window says why a figure is blank from it.
struct PairedSpread {
  int pairs = 0;
  bool observed_constant = false;  // every paired observed value is the same
  bool modelled_constant = false;
};

// The spread of the run's model at `index` (in `columns`) over its paired rows.
PairedSpread PairedSpreadOf(const ExtendedRun& run, std::size_t index);

// Rows 1 to the run's row count of column 1 and of columns first..last.
ExtendedRun MakeExtendedRun(const RunContext& ctx, std::int16_t first, std::int16_t last);

}  // namespace quelvaris::ui
