#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace quelvaris {

// The value of rank k (from 0) of a list and the value of rank k - 1 (rank k's own value when
// k is 0): the same values a full ordering of the list gives, ties and all (a zero's sign
// aside: -0 and 0 are equal values).
struct RankedPair {
  double kth;
  double below;
};

// Selection for the short lists of a period (a month of daily rows): a plain nth_element over
// some thirty values mispredicts nearly every comparison. Here each pass splits the list round
// the median of three values without a branch on the values, into `scratch`, and keeps the
// side that holds rank k; the last few values are ordered by compare-exchanges. `values` is
// reordered; k must be below its size. Each pass drops at least the pivot's value, so a list of
// n values takes at most n passes (about log n on any data that is not built against it).
RankedPair SelectRanked(std::span<double> values, std::size_t k, std::vector<double>& scratch);

}  // namespace quelvaris
