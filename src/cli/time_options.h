#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/benchmark_series.h"
#include "engine/time_periods.h"
#include "engine/time_window.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// The options of scoring over time, as given.
struct TimeCliOptions {
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

// --time, --time-format, --from, --to, --skip, --by, --benchmark (which may be given more than
// once), --benchmark-from and --benchmark-to.
void DeclareTimeOptions(CLI::App& app, TimeCliOptions& options);
// The first six alone: the time column, the evaluation period and the periods.
void DeclareTimeWindowOptions(CLI::App& app, TimeCliOptions& options);

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

// Checks the values in the order of the usage line; the message of the first one rejected.
std::variant<TimeSetup, std::string> CheckTimeOptions(const TimeCliOptions& options);

}  // namespace quelvaris::cli
