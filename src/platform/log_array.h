#pragma once

#include <span>

namespace quelvaris {

// out[i] = ln(values[i] + shift) for every i (out at least as long as values; it may be values
// itself). Through the C library's vector logarithms, several values per call: a few times
// faster than std::log one value at a time, and within a few ulp of it (one ulp with this
// library). A sum that is 0 gives -infinity, one below 0 a NaN, as std::log does.
void LogOfEach(std::span<const double> values, double shift, std::span<double> out);

}  // namespace quelvaris
