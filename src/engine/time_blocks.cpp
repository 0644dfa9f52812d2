#include "engine/time_blocks.h"

#include <algorithm>
#include <cmath>

#include "engine/bootstrap_blocks.h"
#include "engine/time_periods.h"

namespace quelvaris {

std::optional<std::int64_t> StepsInYear(std::span<const TimeStamp> stamps) {
  if (stamps.size() < 2) return std::nullopt;
  // The shortest step is the record's own when nine steps in ten are as long: a gap of a few
  // days in a daily record leaves it regular.
  auto step = stamps[1] - stamps[0];
  for (std::size_t i = 2; i < stamps.size(); ++i) step = std::min(step, stamps[i] - stamps[i - 1]);
  constexpr std::chrono::seconds kDay{86400};
  if (step.count() <= 0 || step > kDay) return std::nullopt;
  std::size_t regular = 0;
  for (std::size_t i = 1; i < stamps.size(); ++i) regular += stamps[i] - stamps[i - 1] == step;
  if (10 * regular < 9 * (stamps.size() - 1)) return std::nullopt;
  // The mean Gregorian year: 365.2425 days.
  constexpr double kYearSeconds = 365.2425 * 86400;
  return static_cast<std::int64_t>(std::llround(kYearSeconds / static_cast<double>(step.count())));
}

std::int64_t DefaultBlockLengthOver(std::span<const TimeStamp> stamps) {
  const auto rows = static_cast<std::int64_t>(stamps.size());
  const std::optional<std::int64_t> year = StepsInYear(stamps);
  if (year && 2 * *year <= rows) return *year;
  return DefaultBlockLength(rows);
}

std::vector<std::int64_t> YearStarts(std::span<const TimeStamp> stamps, unsigned first_month) {
  PeriodGrouping grouping;
  grouping.kind = first_month == 1 ? PeriodKind::Year : PeriodKind::WaterYear;
  grouping.water_year_start = first_month;
  std::vector<std::int64_t> starts;
  for (const Period& p : PeriodsOf(stamps, RowRange{0, stamps.size()}, grouping)) {
    if (!p.runs.empty()) starts.push_back(static_cast<std::int64_t>(p.runs.front().first));
  }
  return starts;
}

}  // namespace quelvaris
