#include "cli/batch_intervals.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "cli/cli_options.h"
#include "engine/time_blocks.h"
#include "platform/number_text.h"

namespace quelvaris::cli {

namespace {

// A whole number written in plain digits, within the type.
template <typename T>
std::optional<T> WholeNumber(const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [at, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || at != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

void DeclareIntervalOptions(CLI::App& app, IntervalOptions& o) {
  app.add_option("--bootstrap", o.bootstrap,
                 "Resample the paired rows N times (1 to 100000) and give every figure of each "
                 "model its percentile interval and standard error")
      ->type_name("N");
  app.add_option("--block", o.block,
                 "Rows in each block of consecutive rows a resample is made of, or `year` for "
                 "whole years of the time column (default: one year of steps of a regular "
                 "record with --time, else the cube root of the row count, rounded)")
      ->type_name("L|year");
  app.add_option("--confidence", o.confidence,
                 "Confidence of the intervals, between 0 and 1 (default 0.90)")
      ->type_name("C");
  AddSwitch(app, "--jackknife", o.jackknife,
            "Also the jackknife-after-bootstrap standard error of each interval end");
  app.add_option("--seed", o.seed, "Seed of the resamples, a whole number (default 0)")
      ->type_name("S");
}

std::optional<std::string> CheckIntervalOptions(const IntervalOptions& o, IntervalRequest& r) {
  r = IntervalRequest{};
  if (!o.bootstrap) {
    if (o.block) return "--block needs --bootstrap.";
    if (o.confidence) return "--confidence needs --bootstrap.";
    if (o.jackknife) return "--jackknife needs --bootstrap.";
    if (o.seed) return "--seed needs --bootstrap.";
    return std::nullopt;
  }
  r.on = true;
  const auto n = WholeNumber<int>(*o.bootstrap);
  if (!n || !ResamplesInRange(*n)) {
    return "--bootstrap must be a whole number of resamples from 1 to 100000.";
  }
  r.boot.resamples = *n;
  r.years = o.block && *o.block == "year";
  if (o.block && !r.years) {
    const auto l = WholeNumber<std::int64_t>(*o.block);
    if (!l || *l < 1) return "--block must be a whole number of rows, 1 or more, or year.";
    r.block = *l;
  }
  if (o.confidence) {
    const std::optional<double> c = ParseNumber(*o.confidence);
    if (!c || !ConfidenceInRange(*c)) return "--confidence must lie between 0 and 1.";
    r.boot.confidence = *c;
  }
  r.boot.jackknife = o.jackknife;
  if (o.seed) {
    const auto s = WholeNumber<std::uint64_t>(*o.seed);
    if (!s) return "--seed must be a whole number from 0 to 18446744073709551615.";
    r.boot.seed = *s;
  }
  return std::nullopt;
}

std::optional<std::string> ResampleFile(const IntervalRequest& request,
                                        std::span<const double> observed,
                                        const std::vector<std::span<const double>>& models,
                                        const EvaluationOptions& options, BootstrapResult& out,
                                        const ResampleTimes* times) {
  const auto rows = static_cast<std::int64_t>(observed.size());
  if (request.years) {
    if (times == nullptr) return "--block year needs --time.";
    const BlockPlan years = WholeBlocks(rows, YearStarts(times->stamps, times->year_start));
    out = BootstrapIntervals(observed, models, options, years, request.boot);
    return std::nullopt;
  }
  std::int64_t block = request.block;
  if (block == 0)
    block = times != nullptr ? DefaultBlockLengthOver(times->stamps) : DefaultBlockLength(rows);
  if (block > rows) {
    return "Block of " + std::to_string(block) + " rows is longer than the record of " +
           std::to_string(rows) + " rows.";
  }
  out = BootstrapIntervals(observed, models, options, MovingBlocks(rows, block), request.boot);
  return std::nullopt;
}

}  // namespace quelvaris::cli
