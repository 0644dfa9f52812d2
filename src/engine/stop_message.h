#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quelvaris {

// Why a batch or module run found too few values to score.
struct TooFewValues {
  std::int64_t rows = 0;  // read from the file, or of the evaluation period
  bool period = false;    // `rows` are the evaluation period's
  std::int64_t missing = 0;
  std::optional<std::int64_t> out_of_bounds;  // set when too few lie within the bounds
};

// "Insufficient data to make calculations.", the rows, the missing observed values and the
// values out of range, a line each, joined by `newline` ("\r" in a message box, "\n" in an
// exception's text).
std::string InsufficientDataMessage(const TooFewValues& v, std::string_view newline);

}  // namespace quelvaris
