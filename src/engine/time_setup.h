#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/benchmark_series.h"
#include "engine/time_periods.h"
#include "engine/time_window.h"

namespace quelvaris {

// The options of scoring over time as their texts were given (by the batch command's options or
// the Python module's keywords); the messages name them as the batch command does.
struct TimeOptionTexts {
  std::optional<std::string> time;  // the time column: a header name or a column number
  std::optional<std::string> time_format;
  std::optional<std::string> from;
  std::optional<std::string> to;
  std::optional<std::string> skip;
  std::optional<std::string> by;
  std::vector<std::string> benchmarks;
  std::optional<std::string> benchmark_from;
  std::optional<std::string> benchmark_to;
};

// The checked options. No time column: nothing of this is in play.
struct TimeSetup {
  std::optional<std::string> time;
  std::string layout;  // --time-format, empty for the ISO forms
  TimeWindow window;
  std::optional<PeriodGrouping> by;
  std::vector<Benchmark> benchmarks;
  TimeWindow calibration;          // with no skip
  bool calibration_given = false;  // else the evaluation period's rows
};

// Checks the values in the order of the batch command's usage line; the message of the first
// one rejected.
std::variant<TimeSetup, std::string> CheckTimeOptions(const TimeOptionTexts& options);

}  // namespace quelvaris
