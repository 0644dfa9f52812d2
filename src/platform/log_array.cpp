#include "platform/log_array.h"

#include <cmath>
#include <cstddef>

// The C library's vector logarithms (libmvec) are declared only for -ffast-math, which would
// also let the compiler drop the figures' NaN and infinity checks; declaring them for log alone
// keeps the rest of the arithmetic exact. The loop below then calls the 2- or 4-wide variant.
extern "C" {
#pragma omp declare simd notinbranch
double log(double) noexcept;
}

namespace quelvaris {

namespace {

// One copy for processors with AVX2 (four logarithms a call), one for any x86-64 (two); the
// loader picks the copy once.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void Logs(const double* values, double shift, double* out, std::size_t n) {
#pragma omp simd
  for (std::size_t i = 0; i < n; ++i) out[i] = std::log(values[i] + shift);
}

}  // namespace

void LogOfEach(std::span<const double> values, double shift, std::span<double> out) {
  Logs(values.data(), shift, out.data(), values.size());
}

}  // namespace quelvaris
