// Values near the largest double: the statistics stop with an overflow box naming the column,
// and no display box, report line or results file ever shows an infinity or a NaN.

#include <filesystem>
#include <string>
#include <vector>

#include "fault_fixture.h"
#include "settings/figure_format.h"

#ifdef QUELVARIS_CLI_PATH
#include "cli/cli_runner.h"
#endif

namespace quelvaris::testing {
namespace {

struct OverflowCase {
  const char* name;
  const char* content;               // observed, model 2, model 3
  std::vector<std::string> columns;  // the columns whose statistics overflow, as boxes name them
};

const std::vector<OverflowCase>& OverflowCases() {
  static const std::vector<OverflowCase> cases = {
      {"observed sum",
       "1e308\t1\t1\n1e308\t2\t2\n1e308\t3\t3\n1e308\t4\t4\n1e308\t5\t5\n",
       {"Column 1."}},
      {"observed fourth powers",
       "1e155\t1\t1\n2e155\t2\t2\n3e155\t3\t3\n4e155\t4\t4\n5e155\t5\t5\n",
       {"Column 1."}},
      {"alternating extremes",
       "1.7976931348623157e308\t1\t1\n-1.7976931348623157e308\t2\t2\n1e308\t3\t3\n"
       "-1e308\t4\t4\n1\t5\t5\n",
       {"Column 1."}},
      {"one model far off",
       "1\t1.7e308\t1\n2\t-1.7e308\t2\n3\t1.7e308\t3\n4\t-1.7e308\t4\n5\t1.7e308\t5\n",
       {"Column 2."}},
      {"errors of a good-looking model",
       "-1e308\t1e308\t1\n1e308\t-1e308\t2\n-1e308\t1e308\t3\n1e308\t-1e308\t4\n1\t1\t5\n",
       {"Column 1."}},
  };
  return cases;
}

class OverflowFaults : public FaultRun {};

TEST_F(OverflowFaults, OverflowIsErrorSixNamingTheColumnAndNeverAFigure) {
  ChooseResultsFile((dir.path() / "results.txt").string());
  Box(RunBox::NoOfColsText, "3");
  Switch(RunSwitch::CalcAICBIC, true);
  Box(RunBox::AICBICParmsText, "2");
  Box(RunBox::AICBICPointsText, "5");
  for (bool all : {false, true}) {
    Switch(RunSwitch::AnalyseAll, all);
    for (const auto& c : OverflowCases()) {
      SCOPED_TRACE(std::string(c.name) + (all ? ", all columns" : ", one column"));
      host.messages.shown.clear();
      WriteDataFile(c.content);
      Run();
      const auto errors = ErrorTexts();
      ASSERT_FALSE(errors.empty());
      for (const auto& text : errors) {
        EXPECT_EQ(text.rfind(kSorry + "\r\nOverflow has occurred.\r\nColumn ", 0), 0u) << text;
      }
      for (const auto& column : c.columns) {
        EXPECT_EQ(errors[0], kSorry + "\r\nOverflow has occurred.\r\n" + column);
      }
    }
  }
  // Every display box, report line and results file of these runs is scanned at tear-down.
  EXPECT_FALSE(host.displays.empty());
  EXPECT_FALSE(reports.lines.empty());
  EXPECT_FALSE(results_files.empty());
}

// The observed sum overflows at row 4: the figures are those reached before that step, and the
// large values after it reach neither the results file nor the error statistics (a maximum of
// 1.7e308 would overflow the percent error in peak and raise a second box).
TEST_F(OverflowFaults, TheFiguresStopAtTheFaultingRow) {
  struct Case {
    const char* content;
    const char* max_line;
    const char* pot_line;
    std::vector<std::string> columns;  // the columns whose statistics overflow
  };
  const std::vector<Case> cases = {
      {"1\t1\n2\t2\n-1e308\t3\n-1.5e308\t4\n5\t5\n-1.7e308\t6\n",
       "Maximum: \t2\t6",
       "POT: \t2\t6",
       {"Column 1.", "Column 2."}},
      {"1\t1.5\n2\t2.5\n-1e308\t-999\n-1.5e308\t-999\n1.7e308\t-999\n6\t6\n7\t7\n8\t8\n",
       "Maximum: \t2\t8",
       "POT: \t2\t5",
       {"Column 1."}},
  };
  settings.ResultFormat = "0";
  ChooseResultsFile((dir.path() / "r.txt").string());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    host.messages.shown.clear();
    WriteDataFile(c.content);
    Run();
    std::vector<std::string> boxes;
    for (const auto& column : c.columns) {
      boxes.push_back(kSorry + "\r\nOverflow has occurred.\r\n" + column);
    }
    EXPECT_EQ(ErrorTexts(), boxes);
    ASSERT_FALSE(results_files.empty());
    const std::string& file = results_files.back();
    EXPECT_NE(file.find(std::string("\r\n") + c.max_line + "\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find(std::string("\r\n") + c.pot_line + "\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nMinimum: \t" + FormatFigure(-1e308, "0") + "\t"), std::string::npos);
  }
}

// Tiny values: nothing overflows, but quotients of tiny figures must not turn into inf either.
TEST_F(OverflowFaults, SubnormalValuesGiveFiguresOrErrorBoxesOnly) {
  ChooseResultsFile((dir.path() / "results.txt").string());
  Switch(RunSwitch::CalcAICBIC, true);
  Box(RunBox::AICBICParmsText, "1");
  Box(RunBox::AICBICPointsText, "5");
  WriteDataFile("5e-324\t1e-323\n1e-323\t5e-324\n1.5e-323\t2e-323\n2e-323\t5e-324\n0\t5e-324\n");
  Run();
  for (const auto& text : ErrorTexts()) EXPECT_EQ(text.rfind(kSorry, 0), 0u) << text;
  EXPECT_FALSE(reports.lines.empty());
}

#ifdef QUELVARIS_CLI_PATH
TEST(OverflowFaultsCli, TheBatchReportAndResultsFileHoldNoInfinity) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "config");
  for (const auto& c : OverflowCases()) {
    SCOPED_TRACE(c.name);
    const std::string data = dir.Write("data.txt", c.content);
    const std::string results = (dir.path() / "results.txt").string();
    const CliResult r = RunCli({data, "--columns", "3", "--all", "--aic-bic", "--parameters", "2",
                                "--points", "5", "--results", results},
                               dir.path() / "config");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Overflow has occurred."), std::string::npos) << r.err;
    EXPECT_FALSE(SpellsNonFinite(r.out)) << r.out;
    EXPECT_FALSE(SpellsNonFinite(ReadFileBytes(results)));
  }
}
#endif

}  // namespace
}  // namespace quelvaris::testing
