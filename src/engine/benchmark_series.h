#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/series_figures.h"
#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// What a naive forecast would have said, built from the observed flows: their mean, the mean
// of each calendar month, the mean of each day of the year (29 February counted with 28
// February), the observation of the step before; or a column of the file.
enum class BenchmarkKind { Mean, Monthly, Daily, Persistence, Column };

struct Benchmark {
  BenchmarkKind kind = BenchmarkKind::Mean;
  std::string name;  // `mean`, `monthly`, `daily`, `persistence`, or the column's name or number
};

// `mean`, `monthly`, `daily` and `persistence` name the built benchmarks; any other text a
// column.
Benchmark BenchmarkOf(std::string_view text);

// The benchmark series of a built kind over every row of the file: the climatologies and the
// mean over the usable observed values of the rows `calibration`, persistence from the row
// before (the first row has none). Where a benchmark has no value (a month without a usable
// observation in the calibration rows) it holds the missing-data code, so the row pairs with
// nothing.
std::vector<double> BenchmarkSeriesOf(BenchmarkKind kind, std::span<const double> observed,
                                      std::span<const TimeStamp> stamps, RowRange calibration,
                                      const SeriesRule& rule);

}  // namespace quelvaris
