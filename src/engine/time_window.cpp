#include "engine/time_window.h"

#include <algorithm>

#include <date/date.h>

namespace quelvaris {

RowRange RowsInWindow(std::span<const TimeStamp> stamps, const TimeWindow& window) {
  const auto begin =
      window.from ? std::lower_bound(stamps.begin(), stamps.end(), *window.from) : stamps.begin();
  const auto end = window.to ? std::upper_bound(begin, stamps.end(), *window.to) : stamps.end();
  RowRange rows{static_cast<std::size_t>(begin - stamps.begin()),
                static_cast<std::size_t>(end - begin)};
  const std::size_t skip =
      window.skip > 0 ? std::min(rows.count, static_cast<std::size_t>(window.skip)) : 0;
  rows.first += skip;
  rows.count -= skip;
  return rows;
}

TimeStamp EndOfDay(TimeStamp t) {
  return date::floor<date::days>(t) + date::days{1} - std::chrono::seconds{1};
}

}  // namespace quelvaris
