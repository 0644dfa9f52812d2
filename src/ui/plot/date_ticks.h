#pragma once

#include <vector>

#include <QString>

namespace quelvaris::ui {

// One labelled tick of a time axis whose values are seconds since 1970-01-01 00:00 (the data
// file's own clock, read as UTC).
struct DateTick {
  double at = 0;
  QString label;
};

// The ticks of a time axis over [from, to] on round calendar steps (whole years of 1, 2, 5,
// 10 ..., months of 1, 2, 3 or 6, the 1st and 16th of each month, one or two days, hours and
// minutes), the smallest step that leaves at most
// `intervals` of them; each labelled as far as its step tells (2003, 2003-04, 2003-04-17,
// 2003-04-17 06:00).
std::vector<DateTick> DateTicks(double from, double to, int intervals);

}  // namespace quelvaris::ui
