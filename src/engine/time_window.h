#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/time_stamp.h"

namespace quelvaris {

// Rows first .. first + count - 1 of a file's table (0 for its first data row).
struct RowRange {
  std::size_t first = 0;
  std::size_t count = 0;

  std::size_t end() const { return first + count; }
  bool operator==(const RowRange&) const = default;
};

// The rows an evaluation scores: those stamped from `from` to `to` (both inclusive, either
// open when not given), less the first `skip` of them (a model's warm-up).
struct TimeWindow {
  std::optional<TimeStamp> from;
  std::optional<TimeStamp> to;  // the last moment inside: a date given as the end is its 23:59:59
  std::int64_t skip = 0;
};

// The rows of `stamps` (increasing) inside the window; an empty range at the place where the
// window would start when no row is inside.
RowRange RowsInWindow(std::span<const TimeStamp> stamps, const TimeWindow& window);

// The last moment of the day `t` falls on: a date given as the end of a window includes the day.
TimeStamp EndOfDay(TimeStamp t);

}  // namespace quelvaris
