#include "engine/sum_lanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quelvaris::testing {
namespace {

// A sum through the lanes is the one of four scalar running totals, term k in total k % 4,
// added up as (0 + 1) + (2 + 3): for every length of tail, with terms whose order shows in the
// rounding, and with the magnitudes and square roots taken four at a time as one at a time.
TEST(SumLanes, SumsAreThoseOfFourRunningTotals) {
  for (std::size_t count : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 13}) {
    std::vector<double> terms;
    for (std::size_t k = 0; k < count; ++k) {
      const double sign = k % 2 == 0 ? 1 : -1;
      terms.push_back(sign * (k % 3 == 0 ? 1e16 : 1.5 + 0.1 * static_cast<double>(k)));
    }
    std::vector<double> roots(count + 4, -1);
    lanes::Sum plain, magnitude, root;
    lanes::ForEach(
        count, [&](std::size_t k, auto at) __attribute__((always_inline)) {
          const auto v = lanes::Load(at, terms.data(), k);
          plain.Add(at, v);
          magnitude.Add(at, lanes::Abs(v));
          const auto r = lanes::Sqrt(lanes::Abs(v));
          lanes::Store(at, roots.data(), k, r);
          root.Add(at, r);
        });
    double parts[3][4] = {};
    for (std::size_t k = 0; k < count; ++k) {
      parts[0][k % 4] += terms[k];
      parts[1][k % 4] += std::fabs(terms[k]);
      parts[2][k % 4] += std::sqrt(std::fabs(terms[k]));
      EXPECT_EQ(roots[k], std::sqrt(std::fabs(terms[k]))) << count << " " << k;
    }
    EXPECT_EQ(roots[count], -1) << count;  // nothing written past the end
    const auto total = [](const double* p) { return (p[0] + p[1]) + (p[2] + p[3]); };
    EXPECT_EQ(plain.Total(), total(parts[0])) << count;
    EXPECT_EQ(magnitude.Total(), total(parts[1])) << count;
    EXPECT_EQ(root.Total(), total(parts[2])) << count;
  }
  EXPECT_FALSE(std::signbit(lanes::Abs(lanes::Four{-0.0, 0.0, -1.0, 1.0})[0]));
}

}  // namespace
}  // namespace quelvaris::testing
