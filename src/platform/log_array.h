#pragma once

#include <span>

namespace quelvaris {

// The natural logarithm by one routine of this program's own, made of additions,
// multiplications, one division and bit operations, each rounded as IEEE arithmetic rounds it
// (the file is compiled without contraction into fused multiply-adds). So a value has the same
// logarithm wherever it stands in an array, whatever vector width the processor offers and
// whichever C library is installed; within 1 ulp of the exact logarithm. 0 gives -infinity, a
// negative value or a NaN gives a NaN, +infinity gives +infinity.
double LogOf(double x);

// out[i] = LogOf(values[i] + shift) for every i (out at least as long as values; it may be
// values itself). The loop is done several values per instruction: a few times faster than
// std::log one value at a time.
void LogOfEach(std::span<const double> values, double shift, std::span<double> out);

}  // namespace quelvaris
