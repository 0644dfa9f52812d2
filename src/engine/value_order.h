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
// their order (-0 and +0 are equal). The figures of a run sort every model column, and a
// comparison sort of flows spends most of its time on branches it cannot predict, so this is a
// radix sort: each value rounded to float gives an unsigned key in the values' order (rounding
// never reverses two values), the keys less the least of them are cut to their top 22 bits and
// sorted in two passes of 11 bits, and a last pass puts each run of equal cut keys in order by
// the full doubles. A cut key spans about 1e-4 of a value's size at most, so for measured flows
// such runs hold a few values; a long run (values close together, or beyond the float range)
// gets a sort of its own. The sorter keeps its working space for the next series.
class ValueSorter {
 public:
  void Sort(std::span<const double> values, std::vector<PlacedValue>& sorted);

  // The values alone in ascending order, and each value's rank (1..n; tied values share the
  // mean of the ranks they span) written to rank[its index]; `rank` is as long as `values`.
  // The ranks come with the last pass: a value alone in its run of equal cut keys has no tie
  // to look for.
  void Sort(std::span<const double> values, std::vector<double>& sorted, std::span<double> rank);

 private:
  static constexpr int kDigitBits = 11;
  static constexpr int kDigits = 2;
  static constexpr int kKeyBits = kDigits * kDigitBits;
  static constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;

  struct Keyed {
    std::uint32_t key;
    std::uint32_t index;  // into the values as given
  };

  // Leaves keyed_ in the order of the values, ranking them into `rank` unless it is empty.
  void Order(std::span<const double> values, std::span<double> rank);
  // The same order and ranks by a stable merge sort, for series of at most kFew values.
  void OrderFew(std::span<const double> values, std::span<double> rank);
  static constexpr std::size_t kFew = 512;

  std::vector<Keyed> keyed_;
  std::vector<Keyed> spare_;
  std::array<std::array<std::uint32_t, kBuckets>, kDigits> counts_{};
};

// Ranks 1..n of values in ascending order, sorted[i] coming from index at[i] of its series and
// its rank written to rank[at[i]] (`rank` long enough for every index); tied values share the
// mean of the ranks they span, the usual reading of Spearman's coefficient with ties.
void AssignRanks(std::span<const double> sorted, std::span<const int> at, std::span<double> rank);

}  // namespace quelvaris
