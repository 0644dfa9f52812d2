#include "engine/data_table.h"

#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

void CheckCell(int row, int col) {
  if (row < 1 || row > DataTable::kRows || col < 1 || col > DataTable::kCols) {
    throw RunTimeError(err::kSubscript);
  }
}

}  // namespace

// The one large allocation of a session (2.4 MB), value-initialised to zeros.
DataTable::DataTable() : cells_(new double[static_cast<long>(kRows) * kCols]()) {}

double DataTable::Get(int row, int col) const {
  CheckCell(row, col);
  return Column(col)[row - 1];
}

void DataTable::Set(int row, int col, double value) {
  CheckCell(row, col);
  Column(col)[row - 1] = value;
}

}  // namespace quelvaris
