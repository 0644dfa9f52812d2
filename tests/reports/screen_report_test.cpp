#include "reports/screen_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "reports/report_figures.h"

namespace quelvaris {
namespace {

using testing::SessionWithFigures;

GlobalSettings TwoDecimals() {
  GlobalSettings s;
  s.ResultFormat = "0.00";
  return s;
}

ReportLine Plain(std::string text) {
  return {std::move(text), false, false};
}
ReportLine Bold(std::string text) {
  return {std::move(text), true, false};
}

TEST(ScreenReport, OneColumnLinesTabsAndBoldness) {
  const std::vector<ReportLine> expected = {
      {"", false, true},
      {"", false, true},
      Bold("\t\tObserved\tMod  5 \t\t"),
      Bold("Basic Statistics"),
      Plain("Mean: \t\t12.35\t\t5.50"),
      Plain("SD: \t\t3.50\t\t0.50"),
      Plain("Skew: \t\t-0.25\t\t0.00"),
      Plain("Kurtosis: \t2.68\t\t3.00"),
      Plain("Min: \t\t0.13\t\t-5.00"),
      Plain("Max: \t\t40.00\t\t105.00"),
      Plain("POT: \t\t7\t\t5"),
      Plain("Out of Bounds: \t1\t\t0"),
      Bold("Main Error Statistics"),
      Plain("RMSE: \t\t\t\t5.00"),
      Plain("MSRE: \t\t\t\t-999.00"),
      Plain("RSqr: \t\t\t\t5.50"),
      Plain("Correl Coeff: \t\t\t5.75"),
      Plain("CofE: \t\t\t\t6.00"),
      Plain("IoA d: \t\t\t\t6.25"),
      Bold("Other Error Statistics"),
      Plain("AME: \t\t\t\t6.50"),
      Plain("PDIFF: \t\t\t\t6.75"),
      Plain("MAE: \t\t\t\t7.00"),
      Plain("ME: \t\t\t\t7.25"),
      Plain("R4MS4E: \t\t\t7.50"),
      Plain("NSC: \t\t\t\t15"),
      Plain("RAE: \t\t\t\t8.00"),
      Plain("PEP: \t\t\t\t8.25"),
      Plain("MARE: \t\t\t\t8.50"),
      Plain("MRE: \t\t\t\t8.75"),
      Plain("RVE: \t\t\t\t9.00"),
      Plain("PI: \t\t\t\t9.25"),
      Plain("MSLE: \t\t\t\t9.50"),
      Plain("MSDE: \t\t\t\t9.75"),
      Plain("VE: \t\t\t\t10.00"),
      Plain("KGE: \t\t\t\t10.25"),
      Plain("MdAPE: \t\t\t10.50"),
      Plain("IRMSE: \t\t\t10.75"),
  };
  auto session = SessionWithFigures();
  EXPECT_EQ(BuildScreenReport(*session, TwoDecimals(), 5, 5, false), expected);

  auto with_aicbic = expected;
  with_aicbic.push_back(Plain("AIC: \t\t\t\t11.00"));
  with_aicbic.push_back(Plain("BIC: \t\t\t\t11.25"));
  EXPECT_EQ(BuildScreenReport(*session, TwoDecimals(), 5, 5, true), with_aicbic);
}

TEST(ScreenReport, WideRangesAreNarrowedToColumnsTwoToEight) {
  struct Case {
    int first, last;
    int shown_first, shown_last;
  };
  const std::vector<Case> cases = {
      {2, 10, 2, 10},  // a ten-column file: all nine modelled columns fit
      {2, 11, 2, 8},   // eleven columns: narrowed
      {2, 30, 2, 8},  {3, 11, 3, 11}, {3, 12, 2, 8}, {7, 7, 7, 7},
  };
  auto session = SessionWithFigures();
  for (const auto& c : cases) {
    const auto lines =
        BuildScreenReport(*session, TwoDecimals(), static_cast<std::int16_t>(c.first),
                          static_cast<std::int16_t>(c.last), false);
    std::string heading = "\t\tObserved\t";
    std::string mean = "Mean: \t\t12.35";
    std::string nsc = "NSC: \t\t";
    for (int col = c.shown_first; col <= c.shown_last; ++col) {
      heading += "Mod  " + std::to_string(col) + " \t\t";
      mean += "\t\t" + std::to_string(col) + ".50";
      nsc += "\t\t" + std::to_string(col + 10);
    }
    ASSERT_EQ(lines.size(), 38u) << c.first << ".." << c.last;
    EXPECT_EQ(lines[2].text, heading) << c.first << ".." << c.last;
    EXPECT_EQ(lines[4].text, mean) << c.first << ".." << c.last;
    EXPECT_EQ(lines[25].text, nsc) << c.first << ".." << c.last;
  }
}

TEST(ScreenReport, NoDecimalsDrawsNoDecimalPointAnywhere) {
  GlobalSettings settings;
  settings.ResultFormat = "0";
  auto session = SessionWithFigures();
  const auto lines = BuildScreenReport(*session, settings, 2, 10, true);
  for (const auto& line : lines) EXPECT_EQ(line.text.find('.'), std::string::npos) << line.text;
  EXPECT_EQ(lines[4].text, "Mean: \t\t12\t\t3\t\t4\t\t5\t\t6\t\t7\t\t8\t\t9\t\t10\t\t11");
}

TEST(ScreenReport, ColumnsOutsideTheTablesRaiseSubscriptError) {
  auto session = SessionWithFigures();
  for (auto [first, last] : std::vector<std::pair<int, int>>{{1, 1}, {31, 31}, {25, 31}, {0, 3}}) {
    try {
      BuildScreenReport(*session, TwoDecimals(), static_cast<std::int16_t>(first),
                        static_cast<std::int16_t>(last), false);
      ADD_FAILURE() << first << ".." << last << " was accepted";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), 9) << first << ".." << last;
    }
  }
}

}  // namespace
}  // namespace quelvaris
