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

// Ranks of the n values value_of(0) <= ... <= value_of(n - 1), the one of position + i + 1
// (shared by a run of ties) going to rank[at_of(i)]. Counted in int, whose conversion to
// double is a single instruction.
template <typename ValueOf, typename AtOf>
void RankInOrder(int n, const ValueOf& value_of, const AtOf& at_of, double* rank, int position) {
  for (int first = 0; first < n;) {
    if (first + 1 == n || value_of(first + 1) != value_of(first)) {  // no tie: most values
      rank[at_of(first)] = position + first + 1;
      ++first;
      continue;
    }
    int end = first + 2;
    while (end < n && value_of(end) == value_of(first)) ++end;
    const double shared = static_cast<double>(2 * position + first + end + 1) / 2;
    for (; first < end; ++first) rank[at_of(first)] = shared;
  }
}

}  // namespace

void AssignRanks(std::span<const double> sorted, std::span<const int> at, std::span<double> rank) {
  RankInOrder(
      static_cast<int>(sorted.size()), [&](int i) { return sorted[static_cast<std::size_t>(i)]; },
      [&](int i) { return at[static_cast<std::size_t>(i)]; }, rank.data(), 0);
}

void ValueSorter::Sort(std::span<const double> values, std::vector<PlacedValue>& sorted) {
  Order(values, {});
  sorted.resize(values.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const std::uint32_t at = keyed_[i].index;
    sorted[i] = {values[at], static_cast<int>(at)};
  }
}

void ValueSorter::Sort(std::span<const double> values, std::vector<double>& sorted,
                       std::span<double> rank) {
  Order(values, rank);
  sorted.resize(values.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i] = values[keyed_[i].index];
}

void ValueSorter::OrderFew(std::span<const double> values, std::span<double> rank) {
  const std::size_t n = values.size();
  const auto less = [&values](const Keyed& a, const Keyed& b) {
    return values[a.index] < values[b.index];
  };
  for (std::size_t i = 0; i < n; ++i) keyed_[i] = {0, static_cast<std::uint32_t>(i)};
  // Insertion sorts of short runs, then runs merged pairwise between the two lists: stable
  // throughout, so equal values keep their order as they do in the radix passes.
  constexpr std::size_t kRun = 16;
  for (std::size_t first = 0; first < n; first += kRun) {
    const auto begin = keyed_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto stop = keyed_.begin() + static_cast<std::ptrdiff_t>(std::min(n, first + kRun));
    for (auto it = begin + 1; it < stop; ++it) {
      const Keyed k = *it;
      auto hole = it;
      for (; hole != begin && less(k, *(hole - 1)); --hole) *hole = *(hole - 1);
      *hole = k;
    }
  }
  spare_.resize(n);
  for (std::size_t width = kRun; width < n; width *= 2) {
    for (std::size_t first = 0; first < n; first += 2 * width) {
      const auto from = [&](std::size_t i) {
        return keyed_.begin() + static_cast<std::ptrdiff_t>(i);
      };
      const std::size_t middle = std::min(n, first + width);
      const std::size_t end = std::min(n, first + 2 * width);
      std::merge(from(first), from(middle), from(middle), from(end),
                 spare_.begin() + static_cast<std::ptrdiff_t>(first), less);
    }
    keyed_.swap(spare_);
  }
  if (!rank.empty()) {
    RankInOrder(
        static_cast<int>(n),
        [&](int i) { return values[keyed_[static_cast<std::size_t>(i)].index]; },
        [&](int i) { return keyed_[static_cast<std::size_t>(i)].index; }, rank.data(), 0);
  }
}

void ValueSorter::Order(std::span<const double> values, std::span<double> rank) {
  const std::size_t n = values.size();
  keyed_.resize(n);
  if (n == 0) return;
  // The passes cost the same for 30 values as for 3,000 (every bucket of both digits is
  // cleared and summed): a year or a month of daily rows is sorted by comparison instead.
  if (n <= kFew) {
    OrderFew(values, rank);
    return;
  }
  auto digit_of = [](std::uint32_t key, int d) {
    return static_cast<std::size_t>((key >> (d * kDigitBits)) & (kBuckets - 1));
  };
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

  // Each run of equal cut keys in order by the full doubles (a stable sort: equal values keep
  // their order), then ranked; equal values have equal keys, so a run holds all of its ties.
  const auto less = [&values](const Keyed& a, const Keyed& b) {
    return values[a.index] < values[b.index];
  };
  const bool ranked = !rank.empty();
  for (std::size_t first = 0; first < n;) {
    std::size_t end = first + 1;
    while (end < n && keyed_[end].key == keyed_[first].key) ++end;
    if (end - first == 1) {
      if (ranked) rank[keyed_[first].index] = static_cast<int>(end);
      first = end;
      continue;
    }
    const auto begin = keyed_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto stop = keyed_.begin() + static_cast<std::ptrdiff_t>(end);
    if (end - first <= 16) {
      for (auto it = begin + 1; it != stop; ++it) {
        const Keyed k = *it;
        auto hole = it;
        for (; hole != begin && less(k, *(hole - 1)); --hole) *hole = *(hole - 1);
        *hole = k;
      }
    } else {
      std::stable_sort(begin, stop, less);
    }
    if (ranked) {
      const Keyed* const run = &*begin;
      RankInOrder(
          static_cast<int>(end - first), [&](int i) { return values[run[i].index]; },
          [&](int i) { return run[i].index; }, rank.data(), static_cast<int>(first));
    }
    first = end;
  }
}

}  // namespace quelvaris
