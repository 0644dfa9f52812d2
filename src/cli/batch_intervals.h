#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/bootstrap.h"
#include "engine/time_stamp.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// The resampling options as given: text, checked by CheckIntervalOptions.
struct IntervalOptions {
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

// --bootstrap, --block, --confidence, --jackknife and --seed.
void DeclareIntervalOptions(CLI::App& app, IntervalOptions& options);

// The message of the first value that cannot be used (a wrong command line), else nothing.
std::optional<std::string> CheckIntervalOptions(const IntervalOptions& options,
                                                IntervalRequest& request);

// The intervals of one file's models. A block longer than the file's record is refused with its
// message (and no intervals); otherwise `out` holds the intervals of each model. With `times`
// the default block is a year of steps of a regular record and whole years can be the blocks.
std::optional<std::string> ResampleFile(const IntervalRequest& request,
                                        std::span<const double> observed,
                                        const std::vector<std::span<const double>>& models,
                                        const EvaluationOptions& options, BootstrapResult& out,
                                        const ResampleTimes* times = nullptr);

}  // namespace quelvaris::cli
