#include "reports/machine_number.h"

#include <gtest/gtest.h>

#include "platform/number_text.h"

namespace quelvaris {
namespace {

// A count is written as the fixed form with no decimals writes it, whether it takes the
// short way of whole numbers or not.
TEST(MachineNumberTest, CountsAreWrittenAsTheirFixedFormWithNoDecimals) {
  for (const double v : {0.0, -0.0, 1.0, 17.0, -3.0, 2.5, -2.5, 1e15, 123456789012345.0,
                         9007199254740991.0, 9007199254740992.0, 1e300}) {
    std::string out = "x";
    EXPECT_TRUE(AppendFigure({v, true}, true, -1, out)) << v;
    EXPECT_EQ(out, "x" + FormatFixed(v, 0)) << v;
  }
}

}  // namespace
}  // namespace quelvaris
