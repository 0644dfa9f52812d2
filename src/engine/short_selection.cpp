#include "engine/short_selection.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace quelvaris {

RankedPair SelectRanked(std::span<double> values, std::size_t k, std::vector<double>& scratch) {
  // A list with a NaN has no order: it gets what nth_element gives it.
  if (std::any_of(values.begin(), values.end(), [](double x) { return x != x; })) {
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(k);
    std::nth_element(values.begin(), mid, values.end());
    return {*mid, k > 0 ? *std::max_element(values.begin(), mid) : *mid};
  }
  double* v = values.data();
  std::size_t n = values.size();
  scratch.resize(n);
  double* kept = scratch.data();
  // The values already dropped for lying below rank k: how many and the largest.
  std::size_t under = 0;
  double under_max = 0;
  constexpr std::size_t kOrdered = 8;
  while (n > kOrdered) {
    const double a = v[0], b = v[n / 2], c = v[n - 1];
    const double pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
    std::size_t less = 0;
    std::size_t equal = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double x = v[i];
      kept[less] = x;
      less += x < pivot;
      equal += x == pivot;
    }
    const std::size_t want = k - under;
    if (want < less) {
      std::memcpy(v, kept, less * sizeof(double));
      n = less;
      continue;
    }
    if (want < less + equal) {
      // Rank k is the pivot's; rank k - 1 too when an equal value lies below it, else the
      // largest value below the pivot.
      if (want > less || under + less == 0) return {pivot, pivot};
      double below = under > 0 ? under_max : kept[0];
      for (std::size_t i = 0; i < less; ++i) below = std::max(below, kept[i]);
      return {pivot, below};
    }
    // The pivot, one of the values, is the largest of those dropped below rank k.
    under_max = pivot;
    under += less + equal;
    std::size_t greater = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double x = v[i];
      kept[greater] = x;
      greater += x > pivot;
    }
    std::memcpy(v, kept, greater * sizeof(double));
    n = greater;
  }
  for (std::size_t round = 0; round < n; ++round) {
    for (std::size_t i = round & 1; i + 1 < n; i += 2) {
      const double x = v[i], y = v[i + 1];
      v[i] = std::min(x, y);
      v[i + 1] = std::max(x, y);
    }
  }
  const std::size_t want = k - under;
  return {v[want], want > 0 ? v[want - 1] : under > 0 ? under_max : v[want]};
}

}  // namespace quelvaris
