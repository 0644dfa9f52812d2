#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/paired_series.h"

namespace quelvaris {

// Consecutive rows of the record, as a resample lays them down.
struct RowRun {
  std::int64_t start = 0;
  std::int64_t length = 0;
};

// The paired rows of a record, each series put in order once, so that the PairedSeries of a
// resample made of its rows follows without a comparison: a resample holds rows of the record,
// so its values in ascending order are the record's own order with each row written as often
// as the resample holds it, and equal values (ranked together) are neighbours there already.
// What PairRows would give on the resample laid out row by row (a missing-data row between two
// runs), value for value: the rows in the resample's order, the sorted values, the ranks, the
// sums added in the same order; only -0 and +0, which are equal, may trade places among the
// sorted values, which no figure can tell.
class RecordPairs {
 public:
  // Models shorter than the observed series read as missing beyond their ends.
  RecordPairs(std::span<const double> observed, const std::vector<std::span<const double>>& models,
              const PairRule& rule);

  // One thread's room for the resamples it takes.
  struct Room {
    PairedSeries series;
    std::vector<RowRun> runs;  // rows beyond the observed series left out
    // spans[set * runs + r]: the paired rows of that set that run r holds, first and end
    std::vector<std::pair<int, int>> spans;
    std::vector<double> sums;            // of each set's observed values, then of each model's
    std::vector<std::uint32_t> held;     // per paired row of a set: how often the resample holds it
    std::vector<double> o_rank, p_rank;  // per paired row of the set
    int observed_done = -1;              // the pair set whose observed side `series` holds
  };

  // Starts resample `runs` (in the order laid down; they may overlap and reach past the end).
  void Begin(std::span<const RowRun> runs, Room& room) const;
  // The pairs of model `model` in the resample begun.
  void Pairs(std::size_t model, Room& room) const;

 private:
  // One series' values over a set of paired rows, in ascending order.
  struct Order {
    std::vector<int> pair;      // the paired row (index into the set's rows); ~pair when the
                                // next value is equal to this one
    std::vector<double> value;  // ascending
    std::vector<double> log;    // LogOf of each value
  };
  // The rows where both series are usable, shared by the models that pair with the same rows.
  struct PairSet {
    std::vector<int> before;  // per row of the record and one more: paired rows before it
    std::vector<double> o;    // at each paired row
    Order o_order;
  };
  struct Model {
    int set = 0;
    std::vector<double> p;  // at each paired row of its set
    Order p_order;
  };

  // The sums of Room::sums.
  void SumRuns(Room& room) const;
  static Order OrderOf(const std::vector<double>& values, ValueSorter& sorter);
  // Writes the values of `order` into `sorted` as often as the resample holds their rows (their
  // logarithms into `log` while fewer than `logged` are written; both as long as the
  // resample's pairs), and each paired row's rank
  // into rank[pair].
  static void Walk(const Order& order, const std::vector<std::uint32_t>& held,
                   std::vector<double>& sorted, std::vector<double>& log, std::size_t logged,
                   std::vector<double>& rank);

  std::int64_t rows_ = 0;
  std::vector<PairSet> sets_;  // sets_[0]: every usable observed row
  std::vector<Model> models_;
};

}  // namespace quelvaris
