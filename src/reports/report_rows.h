#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/analysis_session.h"
#include "engine/error_stats.h"
#include "engine/series_stats.h"

// What the screen report and the results file share: the basic-statistics rows in report order,
// the column range check and the heading of a modelled column.

namespace quelvaris::report_rows {

struct BasicStatRow {
  const char* key;  // the machine formats' name of the figure
  BasicFigure figure;
  const char* screen_label;
  const char* file_label;  // the file spells out the extremes ("Minimum: ", "Maximum: ")
  int screen_tabs;
  bool is_count;
  double (*observed)(const SeriesStats&);
  double ModelledRecord::*modelled;
};

extern const std::array<BasicStatRow, 8> kBasicStatRows;

// The statistics tables hold columns 2 to 30; any other column number is a subscript error (9),
// raised before anything of the report is produced.
void CheckColumnRange(std::int16_t first, std::int16_t last);

// "Mod " and the column number as a bare number: a blank where a minus sign would stand, the
// digits, one trailing blank ("Mod  2 ").
std::string ModelHeading(int column);

// Tabs after an error statistic's label on screen: the long labels take one so that the
// figures still reach the same tab stop.
int ScreenTabsAfter(const char* label);

}  // namespace quelvaris::report_rows
