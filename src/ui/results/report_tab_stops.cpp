#include "ui/results/report_tab_stops.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace quelvaris::ui {
namespace {

struct Cell {
  double start;
  double end;
};

// The non-empty segments after the label, with where they start and end.
std::vector<Cell> Cells(const TabbedLine& line, double interval) {
  const std::vector<double> starts = SegmentStarts(line, interval);
  std::vector<Cell> cells;
  for (std::size_t i = 1; i < line.widths.size(); ++i) {
    if (line.widths[i] > 0) cells.push_back({starts[i], starts[i] + line.widths[i]});
  }
  return cells;
}

}  // namespace

std::vector<double> SegmentStarts(const TabbedLine& line, double interval) {
  std::vector<double> starts;
  starts.reserve(line.widths.size());
  double x = 0;
  for (std::size_t i = 0; i < line.widths.size(); ++i) {
    starts.push_back(x);
    x += line.widths[i];
    if (i + 1 < line.widths.size()) x = (std::floor(x / interval) + 1) * interval;
  }
  return starts;
}

int TabLayoutFaults(const std::vector<TabbedLine>& lines, double interval, double gap) {
  std::vector<Cell> heading;
  bool have_heading = false;
  int faults = 0;
  for (const TabbedLine& line : lines) {
    if (line.widths.empty()) continue;
    std::vector<Cell> cells = Cells(line, interval);
    if (cells.empty()) continue;  // an empty line or a section heading
    // Crowding: the label against the first cell, then each cell against the next.
    double previous_end = line.widths.front();
    for (const Cell& cell : cells) {
      if (previous_end > 0 && cell.start < previous_end + gap) ++faults;
      previous_end = cell.end;
    }
    if (!have_heading) {
      heading = cells;
      have_heading = true;
      continue;
    }
    if (cells.size() > heading.size()) {
      faults += static_cast<int>(cells.size() - heading.size());
      continue;
    }
    const std::size_t offset = heading.size() - cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (std::abs(cells[i].start - heading[offset + i].start) > 0.5) ++faults;
    }
  }
  return faults;
}

int ChooseTabInterval(const std::vector<TabbedLine>& lines, int min_interval, int max_interval,
                      double gap) {
  int best = max_interval;
  int best_faults = std::numeric_limits<int>::max();
  for (int interval = min_interval; interval <= max_interval; ++interval) {
    const int faults = TabLayoutFaults(lines, interval, gap);
    if (faults < best_faults) {
      best_faults = faults;
      best = interval;
      if (faults == 0) break;
    }
  }
  return best;
}

}  // namespace quelvaris::ui
