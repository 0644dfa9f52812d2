#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/bootstrap.h"
#include "engine/time_periods.h"
#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// The resampling options as their texts were given (by the batch command's options or the
// Python module's keywords), checked by CheckIntervalOptions.
struct IntervalOptionTexts {
  std::optional<std::string> bootstrap;
  std::optional<std::string> block;
  std::optional<std::string> confidence;
  std::optional<std::string> seed;
  bool jackknife = false;
};

// What a run resamples, once checked.
struct IntervalRequest {
  bool on = false;
  BootstrapOptions boot;
  std::int64_t block = 0;  // rows; 0: the default rule for each file's record
  bool years = false;      // whole years as blocks (a time column)
};

// The time stamps of the rows that a file's intervals resample, row for row, and the month its
// years start in (1: calendar years).
struct ResampleTimes {
  std::span<const TimeStamp> stamps;
  unsigned year_start = 1;
};

// The message of the first value that cannot be used (a wrong command line), else nothing.
// `timed`: the run scores over a time column, which whole years as blocks need.
std::optional<std::string> CheckIntervalOptions(const IntervalOptionTexts& options,
                                                IntervalRequest& request, bool timed = false);

// The intervals of one file's models. A block longer than the file's record is refused with its
// message (and no intervals); otherwise `out` holds the intervals of each model. With `times`
// the default block is a year of steps of a regular record and whole years can be the blocks.
std::optional<std::string> ResampleFile(const IntervalRequest& request,
                                        std::span<const double> observed,
                                        const std::vector<std::span<const double>>& models,
                                        const EvaluationOptions& options, BootstrapResult& out,
                                        const ResampleTimes* times = nullptr);

// The intervals of the models over the rows `window` of a record stamped `stamps` (row for row
// with the series): the rows whose figures a time-aware run reports. Whole years as blocks are
// water years when `by` groups by them, else calendar years.
std::optional<std::string> ResampleWindow(const IntervalRequest& request,
                                          std::span<const double> observed,
                                          const std::vector<std::span<const double>>& models,
                                          std::span<const TimeStamp> stamps, RowRange window,
                                          const std::optional<PeriodGrouping>& by,
                                          const EvaluationOptions& options, BootstrapResult& out);

}  // namespace quelvaris
