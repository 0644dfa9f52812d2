#include "reports/text_table.h"

#include <gtest/gtest.h>

namespace quelvaris {
namespace {

TEST(TextTable, LabelsLeftFiguresRightHeadingsDoNotWidenTheLabels) {
  const std::string tab_text =
      "\tObs\tMod  2 \r\n"
      "Other Error Statistics\r\n"
      "\r\n"
      "Mean: \t12.35\t5.50\r\n"
      "Out of Bounds: \t1\t-999.00\r\n"
      "RMSE: \t\t0.75";
  const std::string expected =
      "                  Obs   Mod  2\n"
      "Other Error Statistics\n"
      "\n"
      "Mean:           12.35     5.50\n"
      "Out of Bounds:      1  -999.00\n"
      "RMSE:                     0.75\n";
  EXPECT_EQ(AlignTable(tab_text), expected);
}

}  // namespace
}  // namespace quelvaris
