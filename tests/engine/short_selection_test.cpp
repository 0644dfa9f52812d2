#include "engine/short_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quelvaris::testing {
namespace {

// Every rank of lists of 1 to 70 values, drawn with few and with many ties, sorted, reversed
// and all equal, is the value of that rank in the sorted list, and so is the rank below it.
TEST(ShortSelection, EveryRankIsThatOfTheSortedList) {
  std::uint64_t state = 7;
  const auto draw = [&state](unsigned spread) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>((state >> 33) % spread) * 0.25 - 3;
  };
  std::vector<double> scratch;
  for (std::size_t n = 1; n <= 70; ++n) {
    for (int kind = 0; kind < 5; ++kind) {
      std::vector<double> list(n);
      for (std::size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(i);
        list[i] = kind == 0   ? draw(1u << 30)
                  : kind == 1 ? draw(4)
                  : kind == 2 ? x
                  : kind == 3 ? -x
                              : 1.5;
      }
      std::vector<double> sorted = list;
      std::sort(sorted.begin(), sorted.end());
      for (std::size_t k = 0; k < n; ++k) {
        std::vector<double> values = list;
        const RankedPair got = SelectRanked(values, k, scratch);
        EXPECT_EQ(got.kth, sorted[k]) << n << " " << kind << " " << k;
        EXPECT_EQ(got.below, sorted[k > 0 ? k - 1 : 0]) << n << " " << kind << " " << k;
      }
    }
  }
  // A list with a NaN has no order: it gets what nth_element gives it.
  std::vector<double> with_nan = {3, std::nan(""), 1, 2, 5, 4, 9, 8, 7, 6, 0};
  std::vector<double> plain = with_nan;
  std::nth_element(plain.begin(), plain.begin() + 5, plain.end());
  const RankedPair got = SelectRanked(with_nan, 5, scratch);
  EXPECT_EQ(got.kth, plain[5]);
  EXPECT_EQ(got.below, *std::max_element(plain.begin(), plain.begin() + 5));
}

}  // namespace
}  // namespace quelvaris::testing
