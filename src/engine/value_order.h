#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quelvaris {

// A value and where it came from (a row of the table, a paired row of a model).
struct PlacedValue {
  double value;
  int at;
};

// The values in ascending order, each with its index in the series given; equal values keep
// their order. The figures of a run sort
// every model column, and a comparison sort of flows spends most of its time on branches it
// cannot predict, so this is a radix sort on the values rounded to float (rounding keeps the
// order, so only values that round alike can still be out of order), followed by a pass that
// puts each such run in order by the full doubles. The sorter keeps its working space for the
// next series. -0 sorts before +0 (equal values, so still side by side).
class ValueSorter {
 public:
  void Sort(std::span<const double> values, std::vector<PlacedValue>& sorted);

 private:
  static constexpr int kDigitBits = 11;
  static constexpr int kDigits = (32 + kDigitBits - 1) / kDigitBits;  // 3 passes
  static constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;

  struct Keyed {
    std::uint32_t key;
    std::uint32_t index;  // into the values as given
  };

  std::vector<Keyed> keyed_;
  std::vector<Keyed> spare_;
  std::array<std::array<std::uint32_t, kBuckets>, kDigits> counts_{};
};

}  // namespace quelvaris
