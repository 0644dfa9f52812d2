#include "engine/interval_request.h"

#include <charconv>

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
  if (o.block) {
    if (*o.block == "year") {
      return "--block year is not available yet: the intervals do not follow a time column.";
    }
    const auto l = WholeNumber<std::int64_t>(*o.block);
    if (!l || *l < 1) return "--block must be a whole number of rows, 1 or more.";
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
  // The intervals are of the whole record's rows; a time-aware run reports the figures of its
  // evaluation period and periods, which they would not belong to.
  if (timed) return std::string("--bootstrap takes no --time yet.");
  return std::nullopt;
}

std::optional<std::string> ResampleFile(const IntervalRequest& request,
                                        std::span<const double> observed,
                                        const std::vector<std::span<const double>>& models,
                                        const EvaluationOptions& options, BootstrapResult& out) {
  const auto rows = static_cast<std::int64_t>(observed.size());
  const std::int64_t block = request.block > 0 ? request.block : DefaultBlockLength(rows);
  if (block > rows) {
    return "Block of " + std::to_string(block) + " rows is longer than the record of " +
           std::to_string(rows) + " rows.";
  }
  out = BootstrapIntervals(observed, models, options, MovingBlocks(rows, block), request.boot);
  return std::nullopt;
}

}  // namespace quelvaris
