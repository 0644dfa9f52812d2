#include "platform/log_array.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace quelvaris {
namespace {

// Distance in ulps between two finite doubles of the same sign.
double UlpsApart(double a, double b) {
  if (a == b) return 0;
  return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

// Every length around the vector widths (the tail after the last whole vector is done one by
// one), flows over many magnitudes, and the values at which a logarithm is not finite.
TEST(LogArray, AgreesWithTheScalarLogarithm) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> flows;
  for (int i = 0; i < 1000; ++i)
    flows.push_back(std::ldexp(1 + (i * 37 % 1000) / 1000.0, i % 80 - 40));
  struct Case {
    std::string name;
    std::vector<double> values;
    double shift;
  };
  const std::vector<Case> cases = {
      {"none", {}, 0},
      {"one", {2.5}, 0},
      {"three", {1, 10, 100}, 0},
      {"five, shifted", {0, 1, 2, 3, 4}, 0.015},
      {"flows", flows, 0},
      {"flows, shifted", flows, 0.4},
      {"tiny and huge", {5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1, inf}, 0},
  };
  for (const Case& c : cases) {
    std::vector<double> out(c.values.size(), -1);
    LogOfEach(c.values, c.shift, out);
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      const double expected = std::log(c.values[i] + c.shift);
      if (std::isinf(expected)) {
        EXPECT_EQ(out[i], expected) << c.name << " at " << i;
      } else {
        EXPECT_LE(UlpsApart(out[i], expected), 2) << c.name << " at " << i << ": " << out[i];
      }
    }
  }

  // Zero gives -infinity and a negative sum a NaN, in the tail and in whole vectors alike;
  // the logarithms may be taken in place.
  const std::vector<double> given = {-0.5, -1, 0.5, -0.5, 1, -3, -0.5, 2, -1};
  std::vector<double> in_place = given;
  LogOfEach(in_place, 0.5, in_place);
  for (std::size_t i = 0; i < given.size(); ++i) {
    const double sum = given[i] + 0.5;
    if (sum < 0) {
      EXPECT_TRUE(std::isnan(in_place[i])) << i;
    } else if (sum == 0) {
      EXPECT_EQ(in_place[i], -inf) << i;
    } else {
      EXPECT_LE(UlpsApart(in_place[i], std::log(sum)), 2) << i;
    }
  }
}

// A value's logarithm is the same wherever it stands in an array and whatever the array's
// length: with a vector loop and a tail done apart, ln 0.3 used to differ by an ulp between them.
TEST(LogArray, AValueHasOneLogarithmWhereverItStands) {
  const std::vector<double> values = {0.3, 0.1, 0.7, 1.1, 2.9, 6.1, 1e-300, 123456.789, 5e-324};
  for (double v : values) {
    double alone = 0;
    LogOfEach({&v, 1}, 0, {&alone, 1});
    EXPECT_EQ(LogOf(v), alone) << v;
    for (std::size_t length = 1; length <= 17; ++length) {
      std::vector<double> filled(length, v);
      LogOfEach(filled, 0, filled);
      for (std::size_t i = 0; i < length; ++i) {
        EXPECT_EQ(filled[i], alone) << v << " at " << i << " of " << length;
      }
    }
  }
}

}  // namespace
}  // namespace quelvaris
