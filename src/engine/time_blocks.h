#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/time_stamp.h"

namespace quelvaris {

// The steps of one year of a regular record, rounded: 365 for daily rows, 8766 for hourly ones.
// A record is regular when at least nine in ten of the steps between consecutive stamps are as
// long as the shortest, and that is a day or less. Nothing for any other record or one of fewer
// than 2 rows.
std::optional<std::int64_t> StepsInYear(std::span<const TimeStamp> stamps);

// The block length of a record with a time column when none is given: one year of steps when
// the record is regular and holds at least two years of them, else the cube root of the row
// count (DefaultBlockLength).
std::int64_t DefaultBlockLengthOver(std::span<const TimeStamp> stamps);

// The first row of each year of `stamps` (increasing), the first row first: calendar years when
// `first_month` is 1, else water years starting on the first of that month.
std::vector<std::int64_t> YearStarts(std::span<const TimeStamp> stamps, unsigned first_month);

}  // namespace quelvaris
