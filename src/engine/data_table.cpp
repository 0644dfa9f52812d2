#include "engine/data_table.h"

#include <cstddef>
#include <limits>
#include <new>

#include "platform/process_memory.h"
#include "platform/run_time_error.h"

namespace quelvaris {

namespace {

void CheckCell(int row, int col) {
  if (row < 1 || row > DataTable::kRows || col < 1 || col > DataTable::kCols) {
    throw RunTimeError(err::kSubscript);
  }
}

constexpr std::size_t kCellBytes = sizeof(double) * DataTable::kRows * DataTable::kCols;

}  // namespace

// The one large allocation of a session (2.4 MB), all zeros. Taken from the system as zeroed
// memory: a session whose table is never filled (a batch run through the batch reader) never
// touches its pages.
DataTable::DataTable() : cells_(static_cast<double*>(TakeZeroedMemory(kCellBytes))) {
  static_assert(std::numeric_limits<double>::is_iec559, "all bits zero must read as 0.0");
  if (cells_ == nullptr) throw std::bad_alloc();
}

void DataTable::FreeCells::operator()(double* cells) const {
  GiveBackZeroedMemory(cells, kCellBytes);
}

double DataTable::Get(int row, int col) const {
  CheckCell(row, col);
  return Column(col)[row - 1];
}

void DataTable::Set(int row, int col, double value) {
  CheckCell(row, col);
  Column(col)[row - 1] = value;
}

}  // namespace quelvaris
