#include "reports/interval_table.h"

#include "platform/number_text.h"
#include "reports/interval_figures.h"
#include "settings/figure_format.h"

namespace quelvaris {

std::string WithInterval(const std::string& figure, const Interval& interval,
                         const std::string& pattern) {
  std::string text = figure;
  if (!text.empty()) text += ' ';
  if (!interval.defined) return text + "[no interval]";
  return text + "[" + FormatFigure(interval.low, pattern) + ", " +
         FormatFigure(interval.high, pattern) + "]";
}

std::string IntervalsNote(const BootstrapResult& result) {
  return "Intervals: " + std::to_string(result.resamples) + " resamples of " + BlocksText(result) +
         ", " + FormatGeneral(result.confidence * 100) + " % percentile intervals, seed " +
         std::to_string(result.seed) + ".";
}

void AddExtendedIntervals(TextTable& table, const BootstrapResult& result,
                          const std::string& pattern) {
  for (std::size_t m = 0; m < result.models.size(); ++m) {
    const std::vector<Interval>& extended = result.models[m].extended;
    for (std::size_t f = 0; f < extended.size() && f + 1 < table.size(); ++f) {
      std::vector<std::string>& row = table[f + 1];
      if (m + 2 < row.size()) row[m + 2] = WithInterval(row[m + 2], extended[f], pattern);
    }
  }
  table.push_back({IntervalsNote(result)});
}

}  // namespace quelvaris
