#pragma once

#include <vector>

namespace quelvaris::ui {

// The report's lines are columns separated by tab characters: a label, then one or two tabs,
// then the figures, each pair of figures two tabs apart. Which labels get one tab and which get
// two was chosen for a tab interval a little wider than the short labels and a little narrower
// than the long ones, so the interval has to be fitted to the font actually in use: a font
// substitute with other widths would otherwise shift whole rows by one column.

// One line as the tab layout sees it: the width of each text between tabs, in pixels.
struct TabbedLine {
  std::vector<double> widths;  // one entry per segment; tabs sit between segments
};

// Left edge of every segment when each tab advances to the next multiple of `interval`.
std::vector<double> SegmentStarts(const TabbedLine& line, double interval);

// How badly an interval lays out a report: the number of figures that do not start where
// their column's heading starts, plus the number of texts that come closer than `gap` to the
// text after them. The first line with more than one non-empty segment is taken as the heading;
// figures of a line are matched to the heading's columns from the right, since the error lines
// have no observed figure.
int TabLayoutFaults(const std::vector<TabbedLine>& lines, double interval, double gap);

// The smallest whole-pixel interval in [min_interval, max_interval] with the fewest faults.
int ChooseTabInterval(const std::vector<TabbedLine>& lines, int min_interval, int max_interval,
                      double gap);

}  // namespace quelvaris::ui
