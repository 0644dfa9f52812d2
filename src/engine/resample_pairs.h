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

  // One thread's room for the resamples it takes. Rows are counted among the usable observed
  // rows of the record (every model's pairs are some of them).
  struct Room {
    PairedSeries series;
    std::vector<std::pair<int, int>> spans;     // the rows each run holds: first, end
    std::vector<std::uint32_t> held;            // per row: how often the resample holds it
    std::vector<std::uint32_t> model_held;      // the same, 0 where the model has a gap
    std::size_t count = 0;                      // of held
    std::vector<double> sums;                   // of each model's pairs: observed, modelled
    std::vector<std::uint32_t> o_rank, p_rank;  // per row: twice its rank
    int observed_of = -1;                       // the model whose observed side `series` holds
  };

  // Starts resample `runs` (in the order laid down; they may overlap and reach past the end).
  void Begin(std::span<const RowRun> runs, Room& room) const;
  // The pairs of model `model` in the resample begun.
  void Pairs(std::size_t model, Room& room) const;

 private:
  // One series' values over some of the rows, in ascending order.
  struct Order {
    std::vector<int> row;                   // ~row when the next value is equal to this one
    std::vector<std::pair<int, int>> ties;  // first and last of each run of equal values
    std::vector<double> value;              // ascending
    std::vector<double> log;                // LogOf of each value
  };
  struct Model {
    bool all = false;                  // pairs with every row
    std::vector<unsigned char> pairs;  // per row
    std::vector<double> p;             // per row, +0 where it does not pair
    Order p_order;
  };

  // The sums of Room::sums.
  void SumRuns(Room& room) const;
  // `values` in order, value i standing at row rows[i].
  static Order OrderOf(const std::vector<double>& values, const std::vector<int>& rows,
                       ValueSorter& sorter);
  // Writes the values of `order` into `sorted` as often as the resample holds their rows (their
  // logarithms into `log` while fewer than `logged` are written; both as long as the
  // resample's pairs), and twice each row's rank into rank[row] (exact in 32 bits).
  static void Walk(const Order& order, const std::vector<std::uint32_t>& held,
                   std::vector<double>& sorted, std::vector<double>& log, std::size_t logged,
                   std::vector<std::uint32_t>& rank);

  std::int64_t rows_ = 0;    // of the record
  std::vector<int> before_;  // per row of the record and one more: usable rows before it
  std::vector<double> o_;    // per usable row
  Order o_order_;
  std::vector<Model> models_;
};

}  // namespace quelvaris
