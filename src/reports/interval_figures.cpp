#include "reports/interval_figures.h"

namespace quelvaris {

const Interval* IntervalOf(const ModelIntervals& intervals, std::string_view group,
                           std::size_t index) {
  if (group == "basic" && index < intervals.basic.size()) return &intervals.basic[index];
  if (group == "errors" && index < intervals.errors.size()) return &intervals.errors[index];
  if (group == "extended" && index < intervals.extended.size()) return &intervals.extended[index];
  return nullptr;
}

void CollectIntervals(const ModelIntervals* intervals, const std::vector<FigureGroup>& groups,
                      std::vector<std::vector<Interval>>& out) {
  out.clear();
  if (intervals == nullptr) return;
  out.resize(groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t i = 0; i < groups[g].figures.size(); ++i) {
      const Interval* interval = IntervalOf(*intervals, groups[g].key, i);
      out[g].push_back(interval != nullptr ? *interval : Interval{});
    }
  }
}

std::string BlocksText(const BootstrapResult& run) {
  if (run.block_length > 0) return "blocks of " + std::to_string(run.block_length) + " rows";
  return "whole years";
}

}  // namespace quelvaris
