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

// The sums behind the moment-based figures that one model leaves for the next. The efficiencies
// of transformed flows need ln(O + e), sqrt(O) and 1 / (O + e), e = mean O / 100: every model
// whose pairs are all of the usable observed rows (no gap of its own, the common case) has the
// same observed side, so it is kept from model to model.
struct ObservedSums {
  bool of_all_rows = false;  // computed over all usable observed rows
  double mean = 0;
  std::vector<double> log, sqrt, inv;                // of each paired O
  double dev2 = 0, abs_dev = 0;                      // about the mean of the pairs
  double log_dev2 = 0, sqrt_dev2 = 0, inv_dev2 = 0;  // sum((f(O) - mean f(O))^2)
};

// What the figures of one model keep for the next of the same run.
struct ExtendedRoom {
  ObservedSums observed;
  std::vector<double> scratch;
  // Before the first model of another run: nothing of the last one is used again.
  void NewRun() { observed.of_all_rows = false; }
};

// The extended figures of one model's paired rows (PairRows, or a resample's pairs), `room`
// going from model to model of one run.
ExtendedStats ExtendedStatsOfPairs(const PairedSeries& s, ExtendedRoom& room);

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
