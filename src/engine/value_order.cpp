#include "engine/value_order.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace quelvaris {

namespace {

// An unsigned key in the order of the values rounded to float: negative ones have every bit
// flipped (larger magnitudes sort first), positive ones only the sign bit. Rounding to nearest
// never reverses two values, so key order is value order up to equal keys; adding +0 makes -0
// the +0 it equals, so that equal values always share a key.
std::uint32_t KeyOf(double v) {
  const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(v) + 0.0f);
  const std::uint32_t flip = (bits >> 31) != 0 ? ~std::uint32_t{0} : std::uint32_t{1} << 31;
  return bits ^ flip;
}

bool Less(const PlacedValue& a, const PlacedValue& b) {
  return a.value < b.value;
}

}  // namespace

void AssignRanks(std::span<const PlacedValue> sorted, std::span<double> rank, int position) {
  const PlacedValue* const v = sorted.data();
  double* const r = rank.data();
  const int n = static_cast<int>(sorted.size());
  // Counted in int, whose conversion to double is a single instruction.
  for (int first = 0; first < n;) {
    if (first + 1 == n || v[first + 1].value != v[first].value) {  // no tie: most values
      r[v[first].at] = position + first + 1;
      ++first;
      continue;
    }
    int end = first + 2;
    while (end < n && v[end].value == v[first].value) ++end;
    const double shared = static_cast<double>(2 * position + first + end + 1) / 2;
    for (; first < end; ++first) r[v[first].at] = shared;
  }
}

void ValueSorter::Sort(std::span<const double> values, std::vector<PlacedValue>& sorted) {
  Sort(values, sorted, {});
}

void ValueSorter::Sort(std::span<const double> values, std::vector<PlacedValue>& sorted,
                       std::span<double> rank) {
  const std::size_t n = values.size();
  sorted.resize(n);
  if (n == 0) return;
  auto digit_of = [](std::uint32_t key, int d) {
    return static_cast<std::size_t>((key >> (d * kDigitBits)) & (kBuckets - 1));
  };
  keyed_.resize(n);
  spare_.resize(n);
  std::uint32_t least = ~std::uint32_t{0}, most = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t key = KeyOf(values[i]);
    keyed_[i] = {key, static_cast<std::uint32_t>(i)};
    least = std::min(least, key);
    most = std::max(most, key);
  }
  // Offsets from the least key are cut to their top kKeyBits bits: a spread-out top digit also
  // keeps the passes from counting into the same bucket again and again.
  const int cut = std::max(0, static_cast<int>(std::bit_width(most - least)) - kKeyBits);
  for (auto& c : counts_) c.fill(0);
  for (Keyed& k : keyed_) {
    k.key = (k.key - least) >> cut;
    for (int d = 0; d < kDigits; ++d) ++counts_[static_cast<std::size_t>(d)][digit_of(k.key, d)];
  }
  for (int d = 0; d < kDigits; ++d) {
    auto& count = counts_[static_cast<std::size_t>(d)];
    if (count[digit_of(keyed_.front().key, d)] == n) continue;  // a digit all keys share
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
  const bool ranked = !rank.empty();
  for (std::size_t first = 0; first < n;) {
    std::size_t end = first + 1;
    while (end < n && keyed_[end].key == keyed_[first].key) ++end;
    if (end - first == 1) {
      if (ranked) rank[static_cast<std::size_t>(sorted[first].at)] = static_cast<int>(end);
      first = end;
      continue;
    }
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
    // Equal values have equal keys, so a run holds all of its ties.
    if (ranked) AssignRanks({&*begin, end - first}, rank, static_cast<int>(first));
    first = end;
  }
}

}  // namespace quelvaris
