#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/field_scanner.h"
#include "engine/field_values.h"

namespace quelvaris {

// What the rows of a file's byte ranges go into.
struct RangePlan {
  Dialect dialect;
  std::int64_t columns = 0;  // the fields a line has at least
  // For each column up to the last one used: the series its values go to (none: not read).
  std::vector<std::vector<std::vector<double>*>> into;
  std::int64_t time_column = 0;  // 1-based; 0: none
  const FieldValues* values = nullptr;
  std::int64_t rows_left = 0;  // rows the table may still take
};

// How far the ranges took the file.
struct RangeOutcome {
  std::int64_t offset = 0;  // where the reading goes on, one line at a time
  std::int64_t line = 0;    // the line that starts there
  std::int64_t rows = 0;    // appended to every series of the plan
  std::int64_t wide_line = 0;
  std::vector<std::string> times;  // with a time column: its text and line of each row
  std::vector<std::int64_t> time_lines;
};

// Reads the lines of a regular file from byte `start` (the start of line `line`, outside any
// quotes) to byte `size`, cut at line ends into one byte range per thread, each read on a
// thread of its own with positioned reads: a counting pass places every range's rows, then
// the values go straight to their places in the series. Stops before the first range that
// cannot be read on its own: one holding a quote or a NUL byte, or a line not taken as it
// stands (a value that is no number, too few fields, a field or line too long, rows beyond
// those left). Going on from there one line at a time meets every fault in file order, with
// the message and line of a file read from the start.
RangeOutcome ReadRanges(int fd, std::int64_t start, std::int64_t size, std::int64_t line,
                        const RangePlan& plan, int threads);

}  // namespace quelvaris
