#include "platform/checked_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "platform/int16.h"
#include "platform/run_time_error.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::ErrorOf;

TEST(CheckedMath, FaultsBecomeTheirErrorNumbers) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double big = std::numeric_limits<double>::max();
  struct Case {
    const char* name;
    std::function<void()> op;
    int error;
  };
  const Case cases[] = {
      {"1/0", [] { CheckedDiv(1, 0); }, 11},
      {"-1/-0", [] { CheckedDiv(-1, -0.0); }, 11},
      {"0/0", [] { CheckedDiv(0, 0); }, 6},
      {"6/3", [] { CheckedDiv(6, 3); }, 0},
      {"max/tiny", [=] { CheckedDiv(big, 1e-10); }, 6},
      {"max+max", [=] { CheckedAdd(big, big); }, 6},
      {"-max-max", [=] { CheckedSub(-big, big); }, 6},
      {"max*2", [=] { CheckedMul(big, 2); }, 6},
      {"inf", [=] { Checked(inf); }, 6},
      {"nan", [=] { Checked(nan); }, 6},
      {"nan+1", [=] { CheckedAdd(nan, 1); }, 6},
      {"sqrt(-1)", [] { CheckedSqrt(-1); }, 5},
      {"sqrt(0)", [] { CheckedSqrt(0); }, 0},
      {"log(0)", [] { CheckedLog(0); }, 5},
      {"log(-2)", [] { CheckedLog(-2); }, 5},
      {"log(1)", [] { CheckedLog(1); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf(c.op), c.error);
  }
  EXPECT_EQ(CheckedDiv(6, 3), 2);
  EXPECT_EQ(CheckedSqrt(16), 4);
  EXPECT_DOUBLE_EQ(CheckedLog(std::exp(2.0)), 2);
}

TEST(Int16, ConversionsAndStepsStopAtTheLimits) {
  struct Case {
    const char* name;
    std::function<void()> op;
    int error;
  };
  const Case cases[] = {
      {"32767.0", [] { ToInt16(32767.0); }, 0},
      {"32768.0", [] { ToInt16(32768.0); }, 6},
      {"-32768.0", [] { ToInt16(-32768.0); }, 0},
      {"-32769.0", [] { ToInt16(-32769.0); }, 6},
      {"nan", [] { ToInt16(std::numeric_limits<double>::quiet_NaN()); }, 6},
      {"70000LL", [] { ToInt16(70000LL); }, 6},
      {"-32768LL", [] { ToInt16(-32768LL); }, 0},
      {"Inc(32767)", [] { Inc16(32767); }, 6},
      {"Add(32000,767)", [] { Add16(32000, 767); }, 0},
      {"Add(32000,768)", [] { Add16(32000, 768); }, 6},
      {"Sub(-32768,1)", [] { Sub16(-32768, 1); }, 6},
      {"Sub(0,-32768)", [] { Sub16(0, -32768); }, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf(c.op), c.error);
  }
  EXPECT_EQ(Inc16(41), 42);
  EXPECT_EQ(Sub16(-32767, 1), -32768);
  EXPECT_EQ(ToInt16(-12.0), -12);
}

}  // namespace
}  // namespace quelvaris
