#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quelvaris {

// Sums over a series kept in four parts, term k going to part k % 4, the parts added up at the
// end: a loop can fill the parts of consecutive terms together in vector instructions, which a
// plain running sum cannot do without being reordered, and unlike a sum the compiler reorders,
// the result is the same on every processor and in every build.
//
// The parts are held as two pairs of doubles (GCC vector types): parts 0 and 1, then 2 and 3.
// Named that way, rather than indexed by a loop over the parts, they stay in registers from one
// set of four terms to the next. Each operation on a pair is that of IEEE arithmetic on each of
// its two values, so a sum is the one four scalar running totals would give.
namespace lanes {

using Two = double __attribute__((vector_size(16)));
using TwoBits = std::int64_t __attribute__((vector_size(16)));

// Where a body call stands: a pair of terms k, k + 1 going to parts 2 H and 2 H + 1, or
// (the last terms of a series) one term k going to part P.
template <int H>
struct Pair {};
template <int P>
struct One {};

// One sum in its four parts.
struct Sum {
  Two low{}, high{};
  template <int H>
  void Add(Pair<H>, Two v) {
    if constexpr (H == 0) {
      low += v;
    } else {
      high += v;
    }
  }
  template <int P>
  void Add(One<P>, double v) {
    if constexpr (P < 2) {
      low[P] += v;
    } else {
      high[P - 2] += v;
    }
  }
  double Total() const { return (low[0] + low[1]) + (high[0] + high[1]); }
};

template <int H>
inline Two Load(Pair<H>, const double* p, std::size_t k) {
  Two v;
  std::memcpy(&v, p + k, sizeof v);
  return v;
}
template <int P>
inline double Load(One<P>, const double* p, std::size_t k) {
  return p[k];
}
template <int H>
inline void Store(Pair<H>, double* p, std::size_t k, Two v) {
  std::memcpy(p + k, &v, sizeof v);
}
template <int P>
inline void Store(One<P>, double* p, std::size_t k, double v) {
  p[k] = v;
}

inline double Abs(double v) {
  return std::fabs(v);
}
inline Two Abs(Two v) {
  const TwoBits magnitude = {INT64_MAX, INT64_MAX};
  return reinterpret_cast<Two>(reinterpret_cast<TwoBits>(v) & magnitude);
}
inline double Sqrt(double v) {
  return std::sqrt(v);
}
inline Two Sqrt(Two v) {
#if defined(__SSE2__)
  return __builtin_ia32_sqrtpd(v);
#else
  return Two{std::sqrt(v[0]), std::sqrt(v[1])};
#endif
}

// Calls body(k, at) for the terms k = 0 .. count - 1, two at a time and the last one by one.
// The body must be inlined (a lambda marked always_inline).
template <typename Body>
inline void ForEach(std::size_t count, const Body& body) {
  const std::size_t whole = count - count % 4;
  for (std::size_t k = 0; k < whole; k += 4) {
    body(k, Pair<0>{});
    body(k + 2, Pair<1>{});
  }
  const std::size_t rest = count - whole;
  if (rest > 0) body(whole, One<0>{});
  if (rest > 1) body(whole + 1, One<1>{});
  if (rest > 2) body(whole + 2, One<2>{});
}

}  // namespace lanes
}  // namespace quelvaris
