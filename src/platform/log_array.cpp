#include "platform/log_array.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace quelvaris {

namespace {

// x = 2^k m with sqrt(1/2) <= m < sqrt(2), so f = m - 1 is small; ln(1 + f) = 2 atanh(s) with
// s = f / (2 + f), written as f - f^2 / 2 + s (f^2 / 2 + R(s^2)) where R is a minimax
// polynomial of degree 7 in s^2 (its error below 2^-58), and k ln 2 is added in two parts, the
// upper one exact in a product with any k.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kLg1 = 6.666666666666735130e-01;
constexpr double kLg2 = 3.999999999940941908e-01;
constexpr double kLg3 = 2.857142874366239149e-01;
constexpr double kLg4 = 2.222219843214978396e-01;
constexpr double kLg5 = 1.818357216161805012e-01;
constexpr double kLg6 = 1.531383769920937332e-01;
constexpr double kLg7 = 1.479819860511658591e-01;

constexpr std::uint64_t kSqrtHalfBits = 0x3fe6a09e667f3bcd;  // the bits of sqrt(1/2)
constexpr std::uint64_t kMantissaMask = 0x000fffffffffffff;
constexpr std::uint64_t kTwo52Bits = 0x4330000000000000;  // the bits of 2^52

// Every branch is a selection of values, so that the loop over an array becomes vector
// instructions: the integer steps are 64-bit additions, masks and a logical shift, the
// exponent k turned into a double through the bits of 2^52 + k + 1024.
inline double LogOfOne(double x) {
  constexpr double kMinNormal = std::numeric_limits<double>::min();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const bool subnormal = x < kMinNormal;
  const double scaled = x * 0x1p54;  // a subnormal is scaled up first
  const double normal = subnormal ? scaled : x;
  const std::uint64_t t = std::bit_cast<std::uint64_t>(normal) - kSqrtHalfBits;
  const std::uint64_t biased_k = (t + (std::uint64_t{1024} << 52)) >> 52;  // k + 1024
  const double k =
      std::bit_cast<double>(kTwo52Bits | biased_k) - (0x1p52 + 1024) - (subnormal ? 54 : 0);
  const double m = std::bit_cast<double>((t & kMantissaMask) + kSqrtHalfBits);
  const double f = m - 1;
  const double s = f / (2 + f);
  const double z = s * s;
  const double w = z * z;
  const double r =
      z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7))) + w * (kLg2 + w * (kLg4 + w * kLg6));
  const double half_f2 = 0.5 * f * f;
  const double result = k * kLn2Hi - ((half_f2 - (s * (half_f2 + r) + k * kLn2Lo)) - f);
  // The values whose logarithm is not finite, and NaN.
  const double special = x == 0 ? -kInf : (x == kInf ? kInf : kNaN);
  const bool finite_positive = x > 0 && x < kInf;
  return finite_positive ? result : special;
}

// One copy for processors with AVX-512 (eight values an instruction), one for AVX2 (four), one
// for any x86-64 (two); the loader picks the copy once. Each does the same IEEE operations on
// every value, so all three give the same logarithms, bit for bit.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void Logs(const double* values, double shift, double* out, std::size_t n) {
#pragma omp simd
  for (std::size_t i = 0; i < n; ++i) out[i] = LogOfOne(values[i] + shift);
}

}  // namespace

double LogOf(double x) {
  return LogOfOne(x);
}

void LogOfEach(std::span<const double> values, double shift, std::span<double> out) {
  Logs(values.data(), shift, out.data(), values.size());
}

}  // namespace quelvaris
