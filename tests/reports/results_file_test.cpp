#include "reports/results_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "reports/report_figures.h"
#include "settings/global_settings.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::SessionWithFigures;

GlobalSettings WithDecimals(int decimals) {
  GlobalSettings s;
  s.DecimalsReq = static_cast<std::int16_t>(decimals);
  s.ResultFormat = FormatForDecimals(decimals, "0.00");
  return s;
}

std::vector<std::string> SplitCrlf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find('\t', start)) != std::string::npos; start = end + 1) {
    fields.push_back(line.substr(start, end - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

// Column 5 alone under "0.00", every line of the file.
const char* const kColumn5WithAicBic =
    "\tObs\tMod  5 \r\n"
    "Basic Statistics\r\n"
    "\r\n"
    "Mean: \t12.35\t5.50\r\n"
    "SD: \t3.50\t0.50\r\n"
    "Skew: \t-0.25\t0.00\r\n"
    "Kurtosis: \t2.68\t3.00\r\n"
    "Minimum: \t0.13\t-5.00\r\n"
    "Maximum: \t40.00\t105.00\r\n"
    "POT: \t7\t5\r\n"
    "Out of Bounds: \t1\t0\r\n"
    "\r\n"
    "Main Error Statistics\r\n"
    "\r\n"
    "RMSE: \t\t5.00\r\n"
    "MSRE: \t\t-999.00\r\n"
    "RSqr: \t\t5.50\r\n"
    "Correl Coeff: \t\t5.75\r\n"
    "CofE: \t\t6.00\r\n"
    "IoA d: \t\t6.25\r\n"
    "\r\n"
    "Other Error Statistics\r\n"
    "\r\n"
    "AME: \t\t6.50\r\n"
    "PDIFF: \t\t6.75\r\n"
    "MAE: \t\t7.00\r\n"
    "ME: \t\t7.25\r\n"
    "R4MS4E: \t\t7.50\r\n"
    "NSC: \t\t15\r\n"
    "RAE: \t\t8.00\r\n"
    "PEP: \t\t8.25\r\n"
    "MARE: \t\t8.50\r\n"
    "MRE: \t\t8.75\r\n"
    "RVE: \t\t9.00\r\n"
    "PI: \t\t9.25\r\n"
    "MSLE: \t\t9.50\r\n"
    "MSDE: \t\t9.75\r\n"
    "VE: \t\t10.00\r\n"
    "KGE: \t\t10.25\r\n"
    "MdAPE: \t\t10.50\r\n"
    "IRMSE: \t\t10.75\r\n"
    "AIC: \t\t11.00\r\n"
    "BIC: \t\t11.25";

TEST(ResultsFile, OneColumnWithAicBicIsByteExact) {
  auto session = SessionWithFigures();
  EXPECT_EQ(BuildResultsFile(*session, WithDecimals(2), 5, 5, true), kColumn5WithAicBic);
}

TEST(ResultsFile, WithoutAicBicEndsAtIrmseWithoutLineEnd) {
  auto session = SessionWithFigures();
  const std::string full = kColumn5WithAicBic;
  const std::string expected = full.substr(0, full.find("\r\nAIC: "));
  const std::string text = BuildResultsFile(*session, WithDecimals(2), 5, 5, false);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(text.substr(text.size() - 15), "\nIRMSE: \t\t10.75");
}

TEST(ResultsFile, FiguresFollowTheDecimalsButCountsNever) {
  struct Case {
    int decimals;
    std::vector<std::string> lines;  // line number (0-based) -> text, for the lines checked
  };
  const std::vector<int> checked = {3, 4, 5, 6, 7, 9, 15, 28};  // Mean..Min, POT, MSRE, NSC
  const std::vector<Case> cases = {
      {0,
       {"Mean: \t12\t6", "SD: \t4\t1", "Skew: \t0\t0", "Kurtosis: \t3\t3", "Minimum: \t0\t-5",
        "POT: \t7\t5", "MSRE: \t\t-999", "NSC: \t\t15"}},
      {6,
       {"Mean: \t12.345000\t5.500000", "SD: \t3.500000\t0.500000", "Skew: \t-0.250000\t-0.001000",
        "Kurtosis: \t2.675000\t3.000000", "Minimum: \t0.125000\t-5.000000", "POT: \t7\t5",
        "MSRE: \t\t-999.000000", "NSC: \t\t15"}},
  };
  auto session = SessionWithFigures();
  for (const auto& c : cases) {
    const auto lines = SplitCrlf(BuildResultsFile(*session, WithDecimals(c.decimals), 5, 5, true));
    ASSERT_EQ(lines.size(), 43u);
    for (std::size_t i = 0; i < checked.size(); ++i) {
      EXPECT_EQ(lines[checked[i]], c.lines[i]) << c.decimals << " decimals, line " << checked[i];
    }
  }
}

TEST(ResultsFile, AnalyseAllOverThirtyColumnsWritesEveryColumn) {
  auto session = SessionWithFigures();
  for (bool aicbic : {false, true}) {
    const auto lines = SplitCrlf(BuildResultsFile(*session, WithDecimals(2), 2, 30, aicbic));
    ASSERT_EQ(lines.size(), aicbic ? 43u : 41u);

    std::string heading = "\tObs";
    for (int c = 2; c <= 30; ++c) heading += "\tMod  " + std::to_string(c) + " ";
    EXPECT_EQ(lines[0], heading);

    std::string mean = "Mean: \t12.35";
    std::string rmse = "RMSE: \t";
    for (int c = 2; c <= 30; ++c) {
      mean += "\t" + std::to_string(c) + ".50";
      rmse += "\t" + std::to_string(c) + ".00";
    }
    EXPECT_EQ(lines[3], mean);
    EXPECT_EQ(lines[14], rmse);

    // Every label line: the label, the observed field (empty on error lines), 29 figures.
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const auto fields = SplitTabs(lines[i]);
      const bool label_line = lines[i].find(": \t") != std::string::npos;
      if (!label_line) continue;
      EXPECT_EQ(fields.size(), 31u) << "line " << i;
      EXPECT_EQ(fields.back().empty(), false) << "line " << i;
    }
    EXPECT_EQ(lines.back().rfind(aicbic ? "BIC: " : "IRMSE: ", 0), 0u);
  }
}

TEST(ResultsFile, ColumnsOutsideTheTablesRaiseSubscriptError) {
  auto session = SessionWithFigures();
  const std::vector<std::pair<int, int>> bad = {{1, 1}, {0, 5}, {31, 31}, {2, 31}, {-3, 4}};
  for (auto [first, last] : bad) {
    try {
      BuildResultsFile(*session, WithDecimals(2), static_cast<std::int16_t>(first),
                       static_cast<std::int16_t>(last), false);
      ADD_FAILURE() << first << ".." << last << " was accepted";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), 9) << first << ".." << last;
    }
  }
}

TEST(ResultsFile, WriteReplacesAnExistingFileWhole) {
  testing::TempDir dir;
  const std::string path = dir.Write("out.txt", std::string(5000, 'x') + "old report");
  FileSlot slot;
  WriteResultsFile(slot, path, "new\r\nreport");
  EXPECT_EQ(testing::ReadFileBytes(path), "new\r\nreport");
  EXPECT_FALSE(slot.IsOpen());
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ResultsFile, FailedWritesRaiseTheirErrorAndLeaveNoFileBehind) {
  testing::TempDir dir;
  const std::string kept = dir.Write("kept.txt", "earlier report");
  struct Case {
    std::string path;
    int number;
  };
  const std::vector<Case> cases = {
      {(dir.path() / "no-such-folder" / "out.txt").string(), 76},
      {"/dev/full", 61},
  };
  for (const auto& c : cases) {
    FileSlot slot;
    try {
      WriteResultsFile(slot, c.path, "some report");
      ADD_FAILURE() << c.path << " was written";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), c.number) << c.path;
    }
    EXPECT_FALSE(slot.IsOpen()) << c.path;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "no-such-folder"));
  EXPECT_EQ(testing::ReadFileBytes(kept), "earlier report");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ResultsFile, RunWriterTakesTheHostsAicBicSwitchAndTheRequestPath) {
  testing::TempDir dir;
  auto session = SessionWithFigures();
  session->request.ResultsFilePath = (dir.path() / "run.txt").string();
  session->request.ResultsFileName = "run.txt";
  const GlobalSettings settings = WithDecimals(2);
  for (bool aicbic : {true, false}) {
    testing::FakeRunHost host;
    host.switches[RunSwitch::CalcAICBIC] = aicbic;
    WriteRunResultsFile(RunContext{*session, settings, host}, 5, 5);
    EXPECT_EQ(testing::ReadFileBytes(session->request.ResultsFilePath),
              BuildResultsFile(*session, settings, 5, 5, aicbic));
  }
  EXPECT_EQ(testing::ReadFileBytes(session->request.ResultsFilePath).find("AIC"),
            std::string::npos);
}

}  // namespace
}  // namespace quelvaris
