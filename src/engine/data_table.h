#pragma once

#include <memory>

namespace quelvaris {

// The values of the data rows: a fixed 10,000 x 30 table of doubles, rows and columns counted
// from 1, column 1 observed. Allocated once, all zeros at first, never cleared: a run overwrites
// rows 1 to its row count in its columns. Stored column by column, since every statistic walks
// one series (or a pair) from top to bottom.
class DataTable {
 public:
  static constexpr int kRows = 10000;
  static constexpr int kCols = 30;

  DataTable();

  // Checked access: a row outside 1..10,000 or a column outside 1..30 raises error 9.
  double Get(int row, int col) const;
  void Set(int row, int col, double value);

  // Unchecked views of one column, element [row - 1]; for loops already bounded by the row count.
  const double* Column(int col) const { return cells_.get() + static_cast<long>(col - 1) * kRows; }
  double* Column(int col) { return cells_.get() + static_cast<long>(col - 1) * kRows; }

 private:
  struct FreeCells {
    void operator()(double* cells) const;
  };
  std::unique_ptr<double[], FreeCells> cells_;
};

}  // namespace quelvaris
