#include "reports/extended_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelvaris {
namespace {

ExtendedStats Figures(double pbias, bool dr_defined) {
  ExtendedStats stats{};
  for (std::size_t i = 0; i < kExtendedStatCount; ++i) {
    stats[i] = {kExtendedStatDefinitions[i].key, 0.5, true};
  }
  stats[static_cast<std::size_t>(ExtendedStat::Pbias)].value = pbias;
  stats[static_cast<std::size_t>(ExtendedStat::Dr)].defined = dr_defined;
  return stats;
}

TEST(ExtendedTableTest, OneRowPerFigureUnderTheReportsDecimalsUndefinedEmpty) {
  const TextTable table =
      BuildExtendedTable({2, 5}, {}, {Figures(-3.14159, true), Figures(12.5, false)}, "0.000");
  ASSERT_EQ(table.size(), 1 + kExtendedStatCount);
  EXPECT_EQ(table[0], (std::vector<std::string>{"Figure", "Key", "Model 2", "Model 5"}));
  const auto& pbias = table[1 + static_cast<std::size_t>(ExtendedStat::Pbias)];
  EXPECT_EQ(pbias, (std::vector<std::string>{"Percent bias", "pbias", "-3.142", "12.500"}));
  const auto& dr = table[1 + static_cast<std::size_t>(ExtendedStat::Dr)];
  EXPECT_EQ(dr[2], "0.500");
  EXPECT_EQ(dr[3], "");
  EXPECT_EQ(table[1][1], "kge2009");
}

TEST(ExtendedTableTest, ModelsAreHeadedByTheHeadersNamesElseModelN) {
  const ExtendedStats f = Figures(1, true);
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> heading;
  };
  const Case cases[] = {
      {{}, {"Figure", "Key", "Model 2", "Model 3", "Model 4"}},
      {{"lag 1", "", "sim,b"}, {"Figure", "Key", "lag 1", "Model 3", "sim,b"}},
      {{"lag 1"}, {"Figure", "Key", "lag 1", "Model 3", "Model 4"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildExtendedTable({2, 3, 4}, c.names, {f, f, f}, "0.0")[0], c.heading);
  }
}

TEST(ExtendedTableTest, DelimitedTextQuotesOnlyWhatNeedsIt) {
  const TextTable table = {{"a", "b,c", "say \"hi\""}, {"", "1.50", "two\nlines"}};
  EXPECT_EQ(DelimitedText(table, ',', "\r\n"),
            "a,\"b,c\",\"say \"\"hi\"\"\"\r\n,1.50,\"two\nlines\"\r\n");
  EXPECT_EQ(DelimitedText(table, '\t', "\n"),
            "a\tb,c\t\"say \"\"hi\"\"\"\n\t1.50\t\"two\nlines\"\n");
}

}  // namespace
}  // namespace quelvaris
