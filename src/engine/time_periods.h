#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/time_stamp.h"
#include "engine/time_window.h"

namespace quelvaris {

// How rows fall into periods. The first four follow the calendar: each year, each water year
// (starting on the first of month `water_year_start`, named by the calendar year it ends in:
// WY1992 runs from October 1991), each season (DJF, MAM, JJA, SON; a December belongs to the
// DJF of the year after it) and each month of each year. The last two pool: every January of
// every year in one group, every DJF in one group.
enum class PeriodKind { Year, WaterYear, Season, Month, MonthOfYear, SeasonOfYear };

// Whether the grouping pools the same part of every year (every January) into one group.
bool Pooled(PeriodKind kind);

struct PeriodGrouping {
  PeriodKind kind = PeriodKind::Year;
  unsigned water_year_start = 10;  // 1 to 12
};

// `year`, `water-year`, `water-year=M` (M 1 to 12), `season`, `month`, `month-of-year`,
// `season-of-year`; nothing for any other text.
std::optional<PeriodGrouping> PeriodGroupingOf(std::string_view text);

// One period with its rows: runs of consecutive rows, one run for a calendar period, one per
// year for a pooled group.
struct Period {
  std::string label;  // 1991, WY1992, 1991-DJF, 1991-07, Jan, DJF
  std::vector<RowRange> runs;
  std::int64_t rows = 0;
  TimeStamp start{};  // the stamps of its first and last row
  TimeStamp end{};

  bool operator==(const Period&) const = default;
};

// The periods that hold rows of `window`, in time order (pooled groups in calendar order,
// January first, DJF first). A period without a row is not listed.
std::vector<Period> PeriodsOf(std::span<const TimeStamp> stamps, RowRange window,
                              const PeriodGrouping& grouping);

}  // namespace quelvaris
