#pragma once

#include <string>

#include "engine/bootstrap.h"
#include "reports/extended_table.h"

namespace quelvaris {

// A figure's text with its interval after it, both under the report's pattern:
// "0.71 [0.64, 0.77]". An interval the resamples could not give is "[no interval]".
std::string WithInterval(const std::string& figure, const Interval& interval,
                         const std::string& pattern);

// One line naming how the intervals were had: "Intervals: 1000 resamples of blocks of 22 rows,
// 90 % percentile intervals, seed 0."
std::string IntervalsNote(const BootstrapResult& result);

// The extended table (BuildExtendedTable) with each model's intervals beside its figures, and
// the note as a last row of its own. `result` holds the extended intervals of the table's
// models in its column order.
void AddExtendedIntervals(TextTable& table, const BootstrapResult& result,
                          const std::string& pattern);

}  // namespace quelvaris
