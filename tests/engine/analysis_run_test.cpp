#include "engine/analysis_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace quelvaris::testing {
namespace {

class AnalysisRunTest : public EngineTest {
 protected:
  // A tab file of `rows` rows; column 1 is 10, 20, 30 ..., column c adds c - 1.
  static std::string Rows(int rows, int columns) {
    std::string text;
    for (int r = 1; r <= rows; ++r) {
      for (int c = 1; c <= columns; ++c) {
        if (c > 1) text += '\t';
        text += std::to_string(10 * r + (c - 1) * (r % 2 == 0 ? 1 : -1));
      }
      text += "\r\n";
    }
    return text;
  }

  void Columns(int no_of_cols, int col_to_anal) {
    Box(RunBox::NoOfColsText, std::to_string(no_of_cols));
    Box(RunBox::ColToAnalText, std::to_string(col_to_anal));
  }

  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& m : Shown()) titles.push_back(m.title);
    return titles;
  }
};

TEST_F(AnalysisRunTest, WithoutADataFileOnlyAsksForOne) {
  RunAnalysis(ctx, reports);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text, "You must select a file to analyse.");
  EXPECT_EQ(Shown()[0].title, "Error Message");
  EXPECT_EQ(Shown()[0].icon, MessageIcon::Error);
  EXPECT_EQ(host.commits, 1);
  EXPECT_TRUE(host.displays.empty());
  EXPECT_TRUE(reports.calls.empty());
}

TEST_F(AnalysisRunTest, ColumnToAnalyseBeyondTheColumnsStopsBeforeReading) {
  session.request.DataFilePath = (dir.path() / "absent.txt").string();
  session.request.DataFileName = "absent.txt";
  session.counters.RowCount = 77;
  Columns(2, 3);
  RunAnalysis(ctx, reports);
  ASSERT_EQ(Shown().size(), 1u);  // no "File not found.": nothing was opened
  EXPECT_EQ(Shown()[0].text,
            "Column to analyse must be less than the total number of columns available.");
  EXPECT_EQ(Shown()[0].title, "Error Message");
  EXPECT_EQ(Shown()[0].icon, MessageIcon::Error);
  EXPECT_EQ(session.counters.RowCount, 77);

  // Analysing all columns does not use the column to analyse.
  host.messages.shown.clear();
  UseDataFile(Rows(5, 2));
  Switch(RunSwitch::AnalyseAll, true);
  RunAnalysis(ctx, reports);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Results"});
  EXPECT_EQ(session.counters.RowCount, 5);
}

TEST_F(AnalysisRunTest, BoxesAreReadAfreshWithTheirRoundingRules) {
  UseDataFile(Rows(5, 3));
  Box(RunBox::NoOfColsText, "2.5");      // halves to even: 2
  Box(RunBox::ColToAnalText, "1.5e0x");  // leading number 1.5: 2
  Box(RunBox::ThreshText, "15abc");
  Box(RunBox::AICBICParmsText, "3.9");
  Box(RunBox::AICBICPointsText, "-0.5");
  RunAnalysis(ctx, reports);
  const AnalysisRequest& req = session.request;
  EXPECT_EQ(req.NoOfCols, 2);
  EXPECT_EQ(req.ColToAnal, 2);
  EXPECT_EQ(req.Threshold, 15);
  EXPECT_EQ(req.AICBICParms, 3);
  EXPECT_EQ(req.AICBICPoints, -1);

  host.messages.shown.clear();
  Box(RunBox::AICBICPointsText, "40000");
  RunAnalysis(ctx, reports);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text, ErrorBox("Overflow has occurred.", ""));
}

TEST_F(AnalysisRunTest, SufficiencyChecksAndSummary) {
  struct Case {
    const char* what;
    std::string content;
    bool bounds;
    std::vector<std::string> texts;  // every box of the run, in order
  };
  const std::vector<Case> cases = {
      {"three rows",
       "1\t2\n3\t4\n5\t6\n",
       false,
       {"Insufficient data to make calculations.\rOnly 3 rows processed.\r"
        "0 missing observed values noted."}},
      {"four rows",
       "1\t2\n3\t4\n5\t6\n7\t8\n",
       false,
       {"Processed 4 rows in file.\r0 missing observed values noted."}},
      {"six rows, two missing",
       "1\t2\n-999\t4\n5\t6\n7\t8\n-999\t1\n9\t9\n",
       false,
       {"Processed 6 rows in file.\r2 missing observed values noted."}},
      {"two of five out of bounds",
       "1\t2\n-999\t4\n500\t6\n7\t8\n-5\t1\n9\t9\n",
       true,
       {"Processed 6 rows in file.\r1 missing observed values noted.",
        "Insufficient data to make calculations.\rOnly 6 rows processed.\r"
        "1 missing observed values noted.\r2 values out of range."}},
  };
  Box(RunBox::UpperBoundText, "100");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host.messages.shown.clear();
    host.displays.clear();
    reports.calls.clear();
    UseDataFile(c.content);
    Switch(RunSwitch::ApplyBounds, c.bounds);
    RunAnalysis(ctx, reports);
    std::vector<std::string> texts;
    for (const auto& m : Shown()) texts.push_back(m.text);
    EXPECT_EQ(texts, c.texts);
    const bool went_on = c.texts.size() == 1 && Shown()[0].title == "Results";
    if (went_on) {
      EXPECT_EQ(Shown()[0].icon, MessageIcon::Information);
    }
    EXPECT_EQ(host.displays.size(), went_on ? 1u : 0u);
    EXPECT_EQ(reports.calls.size(), went_on ? 1u : 0u);
  }
}

TEST_F(AnalysisRunTest, SummaryNamesTheResultsFileOnlyWhenAnalysingAllIntoOne) {
  UseDataFile(Rows(5, 3));
  Columns(3, 2);
  struct Case {
    bool all;
    std::string results_name;
    std::string third_line;
  };
  const std::vector<Case> cases = {
      {true, "out.txt", "\rAll results will be saved to out.txt."},
      {true, "", ""},
      {false, "out.txt", ""},
  };
  for (const auto& c : cases) {
    host.messages.shown.clear();
    Switch(RunSwitch::AnalyseAll, c.all);
    session.request.ResultsFileName = c.results_name;
    session.request.ResultsFilePath = c.results_name.empty() ? "" : "/somewhere/" + c.results_name;
    RunAnalysis(ctx, reports);
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown()[0].text,
              "Processed 5 rows in file.\r0 missing observed values noted." + c.third_line);
  }
}

TEST_F(AnalysisRunTest, ReportsCoverTheAnalysedColumns) {
  UseDataFile(Rows(6, 4));
  session.request.ResultsFileName = "out.txt";
  session.request.ResultsFilePath = "/somewhere/out.txt";
  Columns(4, 3);
  RunAnalysis(ctx, reports);
  Switch(RunSwitch::AnalyseAll, true);
  RunAnalysis(ctx, reports);
  session.request.ResultsFileName.clear();
  RunAnalysis(ctx, reports);

  std::vector<std::string> calls;
  for (const auto& c : reports.calls) {
    calls.push_back(c.what + " " + std::to_string(c.first) + "-" + std::to_string(c.last));
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"results 3-3", "screen 3-3", "results 2-4",
                                             "screen 2-4", "screen 2-4"}));
}

TEST_F(AnalysisRunTest, DisplayBoxesShowTheObservedAndTheAnalysedColumn) {
  UseDataFile("1\t4\n2\t3\n3\t2\n4\t1\n");
  Box(RunBox::ThreshText, "2");
  settings.ResultFormat = "0.000";
  RunAnalysis(ctx, reports);
  ASSERT_EQ(host.displays.size(), 1u);
  const StatisticsDisplay& d = host.displays[0];
  const std::array<std::string, kDisplayRows> expected = {"2.500", "1.118", "1.000", "4.000",
                                                          "2",     "0.000", "1.640", "0"};
  EXPECT_EQ(d.observed, expected);
  EXPECT_EQ(d.modelled, expected);

  Switch(RunSwitch::AnalyseAll, true);
  RunAnalysis(ctx, reports);
  ASSERT_EQ(host.displays.size(), 2u);
  EXPECT_EQ(host.displays[1].observed, expected);
  for (const auto& text : host.displays[1].modelled) EXPECT_EQ(text, "");
}

TEST_F(AnalysisRunTest, FailingColumnNeverStopsTheOthers) {
  UseDataFile("10\t12\t1e308\t11\n20\t18\t1.5e308\t19\n30\t33\t1e308\t29\n40\t40\t1e308\t41\n");
  Columns(4, 2);
  Switch(RunSwitch::AnalyseAll, true);
  RunAnalysis(ctx, reports);

  const std::vector<std::string> errors = ErrorTexts();
  ASSERT_EQ(errors.size(), 2u);  // its basic and its error statistics
  EXPECT_EQ(errors[0], ErrorBox("Overflow has occurred.", "Column 3."));
  EXPECT_EQ(errors[1], ErrorBox("Overflow has occurred.", "Column 3."));
  EXPECT_NEAR(session.Errors[2].RMSE, std::sqrt(4.25), 1e-12);
  EXPECT_EQ(session.ModelledStats[4].Max, 41);
  EXPECT_EQ(session.Errors[4].RMSE, 1);
  EXPECT_EQ(session.Errors[3].RMSE, 0);  // never written
  EXPECT_EQ(reports.calls.size(), 1u);   // the screen report still shows
}

TEST_F(AnalysisRunTest, ConstantModelledColumnUsesThisRunsFigures) {
  UseDataFile("10\t5\n20\t5\n30\t5\n40\t5\n");
  session.ModelledStats[2] = {1, 2, 3, 4, 5, 1000, 7, 8};  // an earlier run's figures
  RunAnalysis(ctx, reports);
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(session.ModelledStats[2].Mean, 5);
  EXPECT_EQ(session.ModelledStats[2].SD, 0);
  EXPECT_EQ(session.ModelledStats[2].Skew, -999);
  EXPECT_EQ(session.Errors[2].PDIFF, 5 - 40);
  EXPECT_EQ(session.Errors[2].CorrelCoeff, 0);
  ASSERT_EQ(host.displays.size(), 1u);
  EXPECT_EQ(host.displays[0].modelled[kDisplaySkew], "-999.00");
  EXPECT_EQ(host.displays[0].modelled[kDisplayMean], "5.00");
}

TEST_F(AnalysisRunTest, ReportFailuresAreTrappedAndTheScreenReportStillShows) {
  UseDataFile(Rows(5, 2));
  session.request.ResultsFileName = "out.txt";
  session.request.ResultsFilePath = "/full/out.txt";
  reports.results_error = 61;
  reports.screen_throws_bad_alloc = true;
  RunAnalysis(ctx, reports);
  const std::vector<std::string> errors = ErrorTexts();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], ErrorBox("Disk full.", "Results file: /full/out.txt"));
  EXPECT_EQ(errors[1], ErrorBox("", ""));  // out of memory (7) has no text of its own
  ASSERT_EQ(reports.calls.size(), 2u);
  EXPECT_EQ(reports.calls[1].what, "screen");
  EXPECT_EQ(host.pointer_resets, 2);
}

TEST_F(AnalysisRunTest, SecondRunGivesTheSameCounts) {
  const std::string path = UseDataFile("1\t2\n-999\t4\n5\t6\n7\t8\n-999\t1\n9\t9\n");
  RunAnalysis(ctx, reports);
  const RunCounters first = session.counters;
  const ErrorStats errors = session.Errors[2];
  RunAnalysis(ctx, reports);
  EXPECT_EQ(session.counters.RowCount, first.RowCount);
  EXPECT_EQ(session.counters.MissingCount, first.MissingCount);
  EXPECT_EQ(session.Errors[2].RMSE, errors.RMSE);
  EXPECT_EQ(
      host.messages.TextsTitled("Results"),
      std::vector<std::string>(2, "Processed 6 rows in file.\r2 missing observed values noted."));
  EXPECT_FALSE(session.file.IsOpen());
  EXPECT_NO_THROW(session.file.OpenForInput(path));
  session.file.Close();
}

}  // namespace
}  // namespace quelvaris::testing
