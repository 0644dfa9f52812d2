#include "engine/interval_request.h"

#include <algorithm>
#include <charconv>

#include "engine/time_blocks.h"
#include "platform/number_text.h"
#include "settings/interval_settings.h"

namespace quelvaris {

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

std::optional<std::string> CheckIntervalOptions(const IntervalOptionTexts& o, IntervalRequest& r,
                                                bool timed) {
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
  if (r.years && !timed) return std::string("--block year needs --time.");
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
  if (block == 0) {
    block = times != nullptr ? DefaultBlockLengthOver(times->stamps) : DefaultBlockLength(rows);
  }
  if (block > rows) {
    return "Block of " + std::to_string(block) + " rows is longer than the record of " +
           std::to_string(rows) + " rows.";
  }
  out = BootstrapIntervals(observed, models, options, MovingBlocks(rows, block), request.boot);
  return std::nullopt;
}

std::optional<std::string> ResampleWindow(const IntervalRequest& request,
                                          std::span<const double> observed,
                                          const std::vector<std::span<const double>>& models,
                                          std::span<const TimeStamp> stamps, RowRange window,
                                          const std::optional<PeriodGrouping>& by,
                                          const EvaluationOptions& options, BootstrapResult& out) {
  const auto inside = [&window](auto s) {
    const std::size_t first = std::min(window.first, s.size());
    return s.subspan(first, std::min(window.count, s.size() - first));
  };
  std::vector<std::span<const double>> modelled;
  modelled.reserve(models.size());
  for (const auto& m : models) modelled.push_back(inside(m));
  ResampleTimes times{inside(stamps), 1};
  if (by && by->kind == PeriodKind::WaterYear) times.year_start = by->water_year_start;
  return ResampleFile(request, inside(observed), modelled, options, out, &times);
}

}  // namespace quelvaris
