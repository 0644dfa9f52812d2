#include "ui/results/report_columns.h"

#include <algorithm>
#include <cstddef>

namespace quelvaris::ui {
namespace {

// The segments after the label that hold text.
std::vector<std::size_t> Cells(const SegmentWidths& line) {
  std::vector<std::size_t> cells;
  for (std::size_t s = 1; s < line.widths.size(); ++s) {
    if (line.widths[s] > 0) cells.push_back(s);
  }
  return cells;
}

}  // namespace

ColumnLayout LayOutColumns(const std::vector<SegmentWidths>& lines, double gap) {
  double widest_label = 0;
  double widest_cell = 0;
  std::size_t columns = 0;
  for (const SegmentWidths& line : lines) {
    const std::vector<std::size_t> cells = Cells(line);
    if (cells.empty()) continue;
    widest_label = std::max(widest_label, line.widths.front());
    for (const std::size_t s : cells) widest_cell = std::max(widest_cell, line.widths[s]);
    columns = std::max(columns, cells.size());
  }

  ColumnLayout layout;
  const double first = widest_label > 0 ? widest_label + gap : 0;
  for (std::size_t c = 0; c < columns; ++c) {
    layout.column_lefts.push_back(first + static_cast<double>(c) * (widest_cell + gap));
  }
  for (const SegmentWidths& line : lines) {
    std::vector<double> lefts(line.widths.size(), 0);
    const std::vector<std::size_t> cells = Cells(line);
    const std::size_t offset = columns - cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      lefts[cells[i]] = layout.column_lefts[offset + i];
    }
    // Empty segments: where the next text starts, else where the line's last text ends.
    double next = line.widths.empty() ? 0 : line.widths.front();
    if (!cells.empty()) next = lefts[cells.back()] + line.widths[cells.back()];
    for (std::size_t s = line.widths.size(); s-- > 1;) {
      if (line.widths[s] > 0) {
        next = lefts[s];
      } else {
        lefts[s] = next;
      }
    }
    layout.segment_lefts.push_back(std::move(lefts));
  }
  return layout;
}

}  // namespace quelvaris::ui
