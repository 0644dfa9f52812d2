#include "engine/value_order.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace quelvaris {

namespace {

// An unsigned key in the order of the values rounded to float: negative ones have every bit
// flipped (larger magnitudes sort first), positive ones only the sign bit. Rounding to nearest
// never reverses two values, so key order is value order up to equal keys.
std::uint32_t KeyOf(double v) {
  const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(v));
  const std::uint32_t flip = (bits >> 31) != 0 ? ~std::uint32_t{0} : std::uint32_t{1} << 31;
  return bits ^ flip;
}

bool Less(const PlacedValue& a, const PlacedValue& b) {
  return a.value < b.value;
}

}  // namespace

void ValueSorter::Sort(std::span<const double> values, std::vector<PlacedValue>& sorted) {
  const std::size_t n = values.size();
  sorted.resize(n);
  if (n == 0) return;
  auto digit_of = [](std::uint32_t key, int d) {
    return static_cast<std::size_t>((key >> (d * kDigitBits)) & (kBuckets - 1));
  };
  keyed_.resize(n);
  spare_.resize(n);
  for (auto& c : counts_) c.fill(0);
  // Every digit's counts in one pass; a digit that all values share moves nothing and is skipped.
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t key = KeyOf(values[i]);
    keyed_[i] = {key, static_cast<std::uint32_t>(i)};
    for (int d = 0; d < kDigits; ++d) ++counts_[static_cast<std::size_t>(d)][digit_of(key, d)];
  }
  for (int d = 0; d < kDigits; ++d) {
    auto& count = counts_[static_cast<std::size_t>(d)];
    if (count[digit_of(keyed_.front().key, d)] == n) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& c : count) {
      const std::uint32_t here = c;
      c = start;
      start += here;
    }
    for (const Keyed& k : keyed_) spare_[count[digit_of(k.key, d)]++] = k;
    keyed_.swap(spare_);
  }

  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t at = keyed_[i].index;
    sorted[i] = {values[at], static_cast<int>(at)};
  }
  // Values that round to the same float: a few at a time for measured flows, but a run of
  // values beyond the float range can be long, so long runs get a sort of their own.
  for (std::size_t first = 0; first < n;) {
    std::size_t end = first + 1;
    while (end < n && keyed_[end].key == keyed_[first].key) ++end;
    if (end - first > 1) {
      const auto begin = sorted.begin() + static_cast<std::ptrdiff_t>(first);
      const auto stop = sorted.begin() + static_cast<std::ptrdiff_t>(end);
      if (end - first <= 16) {
        for (auto it = begin + 1; it != stop; ++it) {
          const PlacedValue v = *it;
          auto hole = it;
          for (; hole != begin && Less(v, *(hole - 1)); --hole) *hole = *(hole - 1);
          *hole = v;
        }
      } else {
        std::stable_sort(begin, stop, Less);
      }
    }
    first = end;
  }
}

}  // namespace quelvaris
