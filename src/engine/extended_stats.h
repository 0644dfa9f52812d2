#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/extended_stat_definitions.h"
#include "engine/paired_series.h"
#include "engine/run_context.h"

namespace quelvaris {

// One extended figure of one model. An undefined figure (a zero denominator, too few pairs, the
// log of a flow that is not positive) is a state of its own: `value` means nothing then, and
// writers show a blank, never a number that could pass for a result.
struct ExtendedFigure {
  std::string_view key;
  double value = 0;
  bool defined = false;
};

// The extended figures of one model, in the order and with the keys of kExtendedStatDefinitions.
using ExtendedStats = std::array<ExtendedFigure, kExtendedStatCount>;

inline const ExtendedFigure& FigureOf(const ExtendedStats& stats, ExtendedStat stat) {
  return stats[static_cast<std::size_t>(stat)];
}

// The rule of a run: the settings' missing-data code, the request's bounds when applied.
PairRule PairRuleOf(const RunContext& ctx);

// The extended figures of one model against the observed series (same length, row by row).
ExtendedStats ExtendedStatsOf(std::span<const double> observed, std::span<const double> modelled,
                              const PairRule& rule);

// The figures of each model in turn. The observed series is put in order once for all of them.
std::vector<ExtendedStats> ExtendedStatsOfModels(std::span<const double> observed,
                                                 const std::vector<std::span<const double>>& models,
                                                 const PairRule& rule);

// The figures of the run's columns first..last (rows 1 to the row count) against column 1.
// Never fails on data; a column outside 2..30 or a row count beyond the table raises
// RunTimeError 9 before anything is computed.
std::vector<ExtendedStats> CalcExtendedStats(const RunContext& ctx, std::int16_t first,
                                             std::int16_t last);

}  // namespace quelvaris
