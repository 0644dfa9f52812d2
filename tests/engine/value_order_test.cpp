#include "engine/value_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace quelvaris {
namespace {

// The sorter against a stable comparison sort, and its ranks against ranks counted directly, on
// series chosen to trip a sort on the bits of the values rounded to float.
TEST(ValueOrderTest, SortsLikeAStableComparisonSort) {
  const double big = std::numeric_limits<double>::max();
  const double tiny = std::numeric_limits<double>::denorm_min();
  std::vector<double> beyond_float;  // a long run of values that all round to infinity
  for (int i = 0; i < 40; ++i) beyond_float.push_back(1e39 * (1 + (i * 7) % 40));
  std::vector<double> close;  // distinct doubles that round to the same float
  for (int i = 0; i < 30; ++i) close.push_back(1 + ((i * 11) % 30) * 1e-12);
  std::vector<double> flows;
  for (int i = 0; i < 5000; ++i) flows.push_back(std::round(1000 * (20 + 15 * std::sin(i))) / 1000);
  std::vector<double> crowded;  // a narrow band of many distinct values: long runs of cut keys
  for (int i = 0; i < 3000; ++i) crowded.push_back(1000 + ((i * 7919) % 3000) * 1e-5);
  crowded.push_back(1e30);  // and one far away, so that the keys are cut the most

  const std::vector<std::pair<std::string, std::vector<double>>> cases = {
      {"empty", {}},
      {"one", {3}},
      {"signs and zeros", {3, -1, 0.0, -0.0, -2.5, 2.5, 0.0, -1e-300, 1e-300}},
      {"zeros alone", {0.0, -0.0, 0.0, -0.0, -0.0}},  // keys uncut: -0 must meet +0
      {"extremes", {big, -big, tiny, -tiny, 0, 1, -1, big, -big}},
      {"beyond float", beyond_float},
      {"equal as floats", close},
      {"ties", {2, 1, 2, 1, 2, 1, 3, 3}},
      {"a year of flows", {flows.begin(), flows.begin() + 365}},  // sorted by comparison
      {"flows", flows},
      {"crowded", crowded},
  };
  ValueSorter sorter;  // one sorter for every case, as a run reuses it
  for (const auto& [name, values] : cases) {
    // Mid-ranks counted directly: the values below, plus the middle of the equal ones.
    std::vector<double> ranks(values.size(), -1);
    std::vector<double> ranked;
    sorter.Sort(values, ranked, ranks);
    for (std::size_t i = 0; i < values.size(); ++i) {
      const auto below =
          std::count_if(values.begin(), values.end(), [&](double v) { return v < values[i]; });
      const auto equal = std::count(values.begin(), values.end(), values[i]);
      EXPECT_EQ(ranks[i], static_cast<double>(below) + static_cast<double>(equal + 1) / 2)
          << name << " at " << i;
    }

    std::vector<PlacedValue> expected;
    for (std::size_t i = 0; i < values.size(); ++i) {
      expected.push_back({values[i], static_cast<int>(i)});
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const PlacedValue& a, const PlacedValue& b) { return a.value < b.value; });
    std::vector<PlacedValue> sorted;
    sorter.Sort(values, sorted);
    ASSERT_EQ(sorted.size(), values.size()) << name;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      // -0 and +0 are equal values: either order is sorted, and each keeps its own row.
      EXPECT_EQ(sorted[i].value, expected[i].value) << name << " at " << i;
      EXPECT_EQ(ranked[i], expected[i].value) << name << " at " << i;
      EXPECT_EQ(sorted[i].value, values[static_cast<std::size_t>(sorted[i].at)]) << name;
      if (sorted[i].value != 0) {
        EXPECT_EQ(sorted[i].at, expected[i].at) << name << " at " << i;
      }
    }
  }
}

}  // namespace
}  // namespace quelvaris
