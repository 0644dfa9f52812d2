#include "engine/time_periods.h"

#include <array>
#include <charconv>
#include <cstdio>

#include <date/date.h>

namespace quelvaris {

namespace {

constexpr std::array<const char*, 12> kMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 4> kSeasonNames{"DJF", "MAM", "JJA", "SON"};

struct Calendar {
  int year;
  int month;  // 1 to 12
};

Calendar CalendarOf(TimeStamp t) {
  const date::year_month_day ymd{date::floor<date::days>(t)};
  return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month()))};
}

int SeasonOf(int month) {
  return (month % 12) / 3;
}  // Dec, Jan, Feb: 0; ...; Sep to Nov: 3

// A key that orders the periods: non-decreasing along increasing stamps for the calendar
// periods, the month or season for the pooled groups.
std::int64_t KeyOf(TimeStamp t, const PeriodGrouping& g) {
  const Calendar c = CalendarOf(t);
  switch (g.kind) {
    case PeriodKind::Year:
      return c.year;
    case PeriodKind::WaterYear:
      return g.water_year_start != 1 && c.month >= static_cast<int>(g.water_year_start) ? c.year + 1
                                                                                        : c.year;
    case PeriodKind::Season:
      return std::int64_t{c.year + (c.month == 12)} * 4 + SeasonOf(c.month);
    case PeriodKind::Month:
      return std::int64_t{c.year} * 12 + (c.month - 1);
    case PeriodKind::MonthOfYear:
      return c.month - 1;
    case PeriodKind::SeasonOfYear:
      return SeasonOf(c.month);
  }
  return 0;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && a < 0);
}

std::string LabelOf(std::int64_t key, const PeriodGrouping& g) {
  char text[32];
  switch (g.kind) {
    case PeriodKind::Year:
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(key));
      break;
    case PeriodKind::WaterYear:
      std::snprintf(text, sizeof text, "WY%lld", static_cast<long long>(key));
      break;
    case PeriodKind::Season:
      std::snprintf(text, sizeof text, "%lld-%s", static_cast<long long>(FloorDiv(key, 4)),
                    kSeasonNames[static_cast<std::size_t>(key - FloorDiv(key, 4) * 4)]);
      break;
    case PeriodKind::Month:
      std::snprintf(text, sizeof text, "%lld-%02d", static_cast<long long>(FloorDiv(key, 12)),
                    static_cast<int>(key - FloorDiv(key, 12) * 12) + 1);
      break;
    case PeriodKind::MonthOfYear:
      return kMonthNames[static_cast<std::size_t>(key)];
    case PeriodKind::SeasonOfYear:
      return kSeasonNames[static_cast<std::size_t>(key)];
  }
  return text;
}

}  // namespace

bool Pooled(PeriodKind kind) {
  return kind == PeriodKind::MonthOfYear || kind == PeriodKind::SeasonOfYear;
}

std::optional<PeriodGrouping> PeriodGroupingOf(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, PeriodKind>, 6> kNames{{
      {"year", PeriodKind::Year},
      {"water-year", PeriodKind::WaterYear},
      {"season", PeriodKind::Season},
      {"month", PeriodKind::Month},
      {"month-of-year", PeriodKind::MonthOfYear},
      {"season-of-year", PeriodKind::SeasonOfYear},
  }};
  for (const auto& [name, kind] : kNames) {
    if (text == name) return PeriodGrouping{kind};
  }
  constexpr std::string_view kWaterYear = "water-year=";
  if (text.substr(0, kWaterYear.size()) != kWaterYear) return std::nullopt;
  const std::string_view month = text.substr(kWaterYear.size());
  unsigned m = 0;
  const auto [end, ec] = std::from_chars(month.data(), month.data() + month.size(), m);
  if (month.empty() || ec != std::errc{} || end != month.data() + month.size() || m < 1 || m > 12) {
    return std::nullopt;
  }
  return PeriodGrouping{PeriodKind::WaterYear, m};
}

std::vector<Period> PeriodsOf(std::span<const TimeStamp> stamps, RowRange window,
                              const PeriodGrouping& grouping) {
  std::vector<Period> periods;
  // Pooled groups collect their runs here, by key, and are listed in key order at the end.
  std::array<Period, 12> pooled{};
  std::array<std::int64_t, 12> pooled_key{};
  std::size_t row = window.first;
  while (row < window.end()) {
    const std::int64_t key = KeyOf(stamps[row], grouping);
    std::size_t next = row + 1;
    while (next < window.end() && KeyOf(stamps[next], grouping) == key) ++next;
    Period* period = nullptr;
    if (Pooled(grouping.kind)) {
      period = &pooled[static_cast<std::size_t>(key)];
      pooled_key[static_cast<std::size_t>(key)] = key;
    } else {
      period = &periods.emplace_back();
      period->label = LabelOf(key, grouping);
    }
    if (period->runs.empty()) period->start = stamps[row];
    period->runs.push_back({row, next - row});
    period->rows += static_cast<std::int64_t>(next - row);
    period->end = stamps[next - 1];
    row = next;
  }
  if (Pooled(grouping.kind)) {
    for (std::size_t k = 0; k < pooled.size(); ++k) {
      if (pooled[k].runs.empty()) continue;
      pooled[k].label = LabelOf(pooled_key[k], grouping);
      periods.push_back(std::move(pooled[k]));
    }
  }
  return periods;
}

}  // namespace quelvaris
