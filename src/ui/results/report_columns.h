#pragma once

#include <vector>

namespace quelvaris::ui {

// The report's lines are texts separated by tab characters: a label, one or two tabs, then the
// figures two tabs apart; the heading line has an empty label. The tabs were counted for stops
// at one fixed interval, which lays the report out only while every text is narrower than the
// interval: one wider figure (a very poor model's) pushes the rest of its line a stop to the
// right, under the wrong headings. So the picture does not step from stop to stop. It reads
// each line as a label followed by cells, matches the cells to the columns from the right (the
// error lines have no observed figure) and places every column at a pitch wide enough for the
// widest text of the report, so each column's figures start under its heading.

// One line: the width of each text between tabs, in pixels.
struct SegmentWidths {
  std::vector<double> widths;
};

struct ColumnLayout {
  // Left edge of each column after the labels (the first is the observed one when the report
  // has one).
  std::vector<double> column_lefts;
  // Per line, the left edge of each segment. A label starts at 0; an empty segment stands where
  // the next text of its line starts, or where the line ends.
  std::vector<std::vector<double>> segment_lefts;
};

// Lays the lines out with at least `gap` pixels after every text. A line with nothing after its
// label (an empty line, a section heading) takes no part in the columns.
ColumnLayout LayOutColumns(const std::vector<SegmentWidths>& lines, double gap);

}  // namespace quelvaris::ui
