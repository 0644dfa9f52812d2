#include "engine/benchmark_series.h"

#include <array>
#include <exception>

#include <date/date.h>

namespace quelvaris {

namespace {

// The climatology groups: the calendar month (0 to 11) or the day of the year in a year of 365
// days (0 to 364, 29 February with 28 February).
std::size_t GroupOf(TimeStamp t, BenchmarkKind kind) {
  const date::year_month_day ymd{date::floor<date::days>(t)};
  const unsigned month = static_cast<unsigned>(ymd.month());
  if (kind == BenchmarkKind::Monthly) return month - 1;
  static constexpr std::array<unsigned, 12> kFirstDay{0,   31,  59,  90,  120, 151,
                                                      181, 212, 243, 273, 304, 334};
  const unsigned day = static_cast<unsigned>(ymd.day());
  return kFirstDay[month - 1] + (month == 2 && day == 29 ? 28 : day) - 1;
}

std::vector<double> Climatology(BenchmarkKind kind, std::span<const double> observed,
                                std::span<const TimeStamp> stamps, RowRange calibration,
                                const SeriesRule& rule) {
  std::array<double, 365> sum{};
  std::array<std::int64_t, 365> count{};
  for (std::size_t i = calibration.first; i < calibration.end(); ++i) {
    if (!rule.Usable(observed[i])) continue;
    const std::size_t g = GroupOf(stamps[i], kind);
    sum[g] += observed[i];
    ++count[g];
  }
  std::vector<double> series(observed.size());
  for (std::size_t i = 0; i < series.size(); ++i) {
    const std::size_t g = GroupOf(stamps[i], kind);
    series[i] = count[g] > 0 ? sum[g] / static_cast<double>(count[g]) : rule.missing_code;
  }
  return series;
}

}  // namespace

Benchmark BenchmarkOf(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, BenchmarkKind>, 4> kBuilt{{
      {"mean", BenchmarkKind::Mean},
      {"monthly", BenchmarkKind::Monthly},
      {"daily", BenchmarkKind::Daily},
      {"persistence", BenchmarkKind::Persistence},
  }};
  for (const auto& [name, kind] : kBuilt) {
    if (text == name) return {kind, std::string(name)};
  }
  return {BenchmarkKind::Column, std::string(text)};
}

std::vector<double> BenchmarkSeriesOf(BenchmarkKind kind, std::span<const double> observed,
                                      std::span<const TimeStamp> stamps, RowRange calibration,
                                      const SeriesRule& rule) {
  switch (kind) {
    case BenchmarkKind::Mean: {
      // The observed series' own mean figure over the calibration rows, as every figure of the
      // observed series is computed.
      SeriesStats stats;
      SeriesCounts counts;
      bool defined = false;
      try {
        defined = SeriesFiguresOf(observed.subspan(calibration.first, calibration.count), rule,
                                  kObservedMinStart, stats, counts) &&
                  !(stats.undefined & kMeanFigure);
      } catch (const std::exception&) {
        defined = false;
      }
      return std::vector<double>(observed.size(), defined ? stats.Mean : rule.missing_code);
    }
    case BenchmarkKind::Monthly:
    case BenchmarkKind::Daily:
      return Climatology(kind, observed, stamps, calibration, rule);
    case BenchmarkKind::Persistence: {
      std::vector<double> series(observed.size(), rule.missing_code);
      for (std::size_t i = 1; i < series.size(); ++i) series[i] = observed[i - 1];
      return series;
    }
    case BenchmarkKind::Column:
      break;
  }
  return {};
}

}  // namespace quelvaris
