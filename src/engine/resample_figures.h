#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "engine/block_terms.h"
#include "engine/bootstrap_blocks.h"
#include "engine/evaluation.h"
#include "engine/value_order.h"

namespace quelvaris {

// One resample: the blocks it lays end to end (each with the rows it takes, the last one
// perhaps cut) and what the models' figures share.
struct ResampleRows {
  std::vector<int> blocks;           // the candidates, in the order laid down
  std::int64_t last_take = 0;        // the rows taken of the last one (fewer than its length: cut)
  std::vector<int> whole;            // the candidates taken whole, in ascending order
  std::vector<std::uint32_t> times;  // how often it holds each record row (see CountRows)
  // The rows taken of block b, which is `block`.
  std::int64_t Take(std::size_t b, const Block& block) const {
    return b + 1 == blocks.size() ? last_take : block.length;
  }
  SeriesStats observed;
  bool figures = false;  // the observed series has the 4 usable values the models need
};

// A row a resample holds, how often, and its observed value.
struct CountedRow {
  int row = 0;
  double times = 0;
  double value = 0;
};

// What every model's figures on one resample read of its rows: how often it holds each row,
// and the observed rows whose deviations about the resample's mean are corrected (those with
// the observed value between the record's mean and the resample's), in the window's order.
struct RowCounts {
  std::span<const std::uint32_t> times;
  std::span<const CountedRow> observed;
};

// Usable rows whose value lies in a window, in ascending order of the value.
struct RowWindow {
  std::vector<PlacedValue> rows;  // `at` is the row
  // The entries with lo <= value <= hi.
  std::span<const PlacedValue> Within(double lo, double hi) const;
};

// The observed series' part of the resampled figures, shared by every model.
class ObservedResamples {
 public:
  ObservedResamples(std::span<const double> observed, const EvaluationOptions& options,
                    const BlockPlan& plan);

  // The blocks of `chosen` as the resample takes them, each row's count and the observed
  // series' figures: everything the models' figures of this resample read.
  void Prepare(const std::vector<int>& chosen, ResampleRows& r) const;
  // The same but each row's count, which CountRows gives when it is wanted.
  void PrepareSums(const std::vector<int>& chosen, ResampleRows& r) const;
  void CountRows(const ResampleRows& r, std::vector<std::uint32_t>& times) const;
  // The observed rows of RowCounts (after WindowOver).
  void CorrectedRows(const ResampleRows& r, std::span<const std::uint32_t> times,
                     std::vector<CountedRow>& out) const;
  void Tables(TermScratch& scratch);  // before any Prepare
  // The usable observed rows between the centre and every resample's mean.
  void WindowOver(std::span<const ResampleRows> resamples);

  std::span<const double> observed;
  const EvaluationOptions& options;
  const BlockPlan& plan;
  double centre = 0;
  RowWindow window;  // after WindowOver
  double window_lo = 0, window_hi = 0;

 private:
  std::vector<double> table_;
};

// Room for one model's table, kept from one model to the next.
struct ResampleScratch {
  TermScratch terms;
  ValueSorter sorter;
  term::TiledTable table;
  std::vector<double> values;
  std::vector<int> rows;
  std::vector<std::uint32_t> times;  // one resample's row counts
  std::vector<CountedRow> corrected;
  std::vector<signed char> signs;  // each candidate's first and last sign
};

// One model's figures on resample after resample, from the sums over the resample's blocks.
// Each figure is the one the figure code gives on the resample laid out row by row (the sums
// differ only in the order they are added). The figures of rows not laid out that way: the
// mean absolute deviations (RAE, IoA d) take the sign of each row about the record's mean
// and correct the rows that lie between it and the resample's mean; the median percentage
// error walks the model's sorted percentage errors from the last mark below it.
class ModelResamples {
 public:
  ModelResamples(const ObservedResamples& observed, std::span<const double> modelled,
                 ResampleScratch& scratch);

  // The terms of each resample of a run (kBlockTerms each, in `acc`): each resample's whole
  // blocks gathered from the candidates' table, tile by tile.
  void Sum(std::span<const ResampleRows> resamples, std::span<double> acc,
           ResampleScratch& scratch) const;

  // The basic and error figures of the model (stats, record, errors) on resample `r` from its
  // terms.
  ModelEvaluation Figures(const double* acc, const ResampleRows& r) const;
  // The same with the resample's row counts held apart (r.times unused).
  ModelEvaluation Figures(const double* acc, const ResampleRows& r, const RowCounts& counts) const;

 private:
  ErrorSums SumsOf(const double* acc, const ResampleRows& r, const RowCounts& counts, double mean_o,
                   double mean_p) const;

  const ObservedResamples& obs_;
  std::span<const double> modelled_;
  double centre_ = 0;
  std::vector<PlacedValue> percentage_errors_;  // ascending, `at` the row
  std::array<double, term::kMarkCount> marks_{};
  std::array<std::size_t, term::kMarkCount> mark_at_{};  // first entry at or above each mark
  RowWindow window_;  // the usable pairs whose modelled value is in the observed window
  std::optional<ModelTerms> terms_;
};

}  // namespace quelvaris
