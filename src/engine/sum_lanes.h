#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The functions whose sums go through these lanes are built twice where the loader can choose
// between them: for any x86-64, and for processors with AVX2, whose registers hold the four
// parts of a sum at once. Both do the same IEEE operations on every value.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUELVARIS_LANES_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUELVARIS_LANES_CLONES
#endif

namespace quelvaris {

// Sums over a series kept in four parts, term k going to part k % 4, the parts added up at the
// end: a loop can fill the parts of consecutive terms together in vector instructions, which a
// plain running sum cannot do without being reordered, and unlike a sum the compiler reorders,
// the result is the same on every processor and in every build.
//
// The four parts are held as one vector of four doubles (a GCC vector type: two SSE registers,
// or one AVX register in a function built for AVX2 too). Named that way, rather than indexed by
// a loop over the parts, they stay in registers from one set of four terms to the next. Each
// operation on a vector is that of IEEE arithmetic on each of its values, so a sum is the one
// four scalar running totals would give.
namespace lanes {

using Four = double __attribute__((vector_size(32)));
using FourBits = std::int64_t __attribute__((vector_size(32)));

// Where a body call stands: terms k .. k + 3 going to parts 0 .. 3, or (the last terms of a
// series) one term k going to part P.
struct All {};
template <int P>
struct One {};

// One sum in its four parts.
struct Sum {
  Four parts{};
  [[gnu::always_inline]] void Add(All, Four v) { parts += v; }
  template <int P>
  [[gnu::always_inline]] void Add(One<P>, double v) {
    parts[P] += v;
  }
  [[gnu::always_inline]] double Total() const {
    return (parts[0] + parts[1]) + (parts[2] + parts[3]);
  }
};

[[gnu::always_inline]] inline Four Load(All, const double* p, std::size_t k) {
  Four v;
  std::memcpy(&v, p + k, sizeof v);
  return v;
}
template <int P>
[[gnu::always_inline]] inline double Load(One<P>, const double* p, std::size_t k) {
  return p[k];
}
[[gnu::always_inline]] inline void Store(All, double* p, std::size_t k, Four v) {
  std::memcpy(p + k, &v, sizeof v);
}
template <int P>
[[gnu::always_inline]] inline void Store(One<P>, double* p, std::size_t k, double v) {
  p[k] = v;
}

[[gnu::always_inline]] inline double Abs(double v) {
  return std::fabs(v);
}
[[gnu::always_inline]] inline Four Abs(Four v) {
  const FourBits magnitude = {INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX};
  return reinterpret_cast<Four>(reinterpret_cast<FourBits>(v) & magnitude);
}
[[gnu::always_inline]] inline double Sqrt(double v) {
  return std::sqrt(v);
}
[[gnu::always_inline]] inline Four Sqrt(Four v) {
  return Four{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
}

// Calls body(k, at) for the terms k = 0 .. count - 1, four at a time and the last ones by one.
// The body must be inlined (a lambda marked always_inline), as every function here is: inlined
// into a function built for AVX2, they are built for it too.
template <typename Body>
[[gnu::always_inline]] inline void ForEach(std::size_t count, const Body& body) {
  const std::size_t whole = count - count % 4;
  for (std::size_t k = 0; k < whole; k += 4) body(k, All{});
  const std::size_t rest = count - whole;
  if (rest > 0) body(whole, One<0>{});
  if (rest > 1) body(whole + 1, One<1>{});
  if (rest > 2) body(whole + 2, One<2>{});
}

}  // namespace lanes
}  // namespace quelvaris
