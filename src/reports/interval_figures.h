#pragma once

#include <string>
#include <vector>

#include "engine/bootstrap.h"
#include "reports/machine_figures.h"

// The intervals of a model's figures as the machine formats and the text report write them.

namespace quelvaris {

// The interval of figure `index` of the group keyed `group` ("basic", "errors", "extended"):
// the groups list their figures in the order ModelIntervals keeps them. Null for another group.
const Interval* IntervalOf(const ModelIntervals& intervals, std::string_view group,
                           std::size_t index);

// One list per group of `groups`, one interval per figure; empty when `intervals` is null.
void CollectIntervals(const ModelIntervals* intervals, const std::vector<FigureGroup>& groups,
                      std::vector<std::vector<Interval>>& out);

// The text of a block: "blocks of 22 rows", or "whole years" for blocks of a time column's years.
std::string BlocksText(const BootstrapResult& run);

}  // namespace quelvaris
