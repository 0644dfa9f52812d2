// End-to-end runs of the real quelvaris-cli program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "engine/analysis_run.h"
#include "reports/results_file.h"
#include "reports/text_table.h"
#include "settings/global_settings.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;
using testing::TempDir;

// Daily flows: observed, a close model and a rougher one.
const char* const kThreeColumns =
    "10\t11\t8\n12\t12\t13\n15\t14\t18\n11\t10\t12\n9\t9\t7\n14\t15\t12\n20\t19\t24\n18\t17\t15\n";
const char* const kSummary =
    "Results: Processed 8 rows in file.\n0 missing observed values noted.\n";

class CliRun : public ::testing::Test {
 protected:
  CliRun() : data_(dir_.Write("flows.txt", kThreeColumns)) {
    std::filesystem::create_directory(config_home());
  }
  std::filesystem::path config_home() const { return dir_.path() / "config"; }
  CliResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(), data_);
    return RunCli(args, config_home());
  }

  TempDir dir_;
  std::string data_;
};

TEST_F(CliRun, GoodRunsReportOnStdoutAndExitZero) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
    std::vector<std::string> headings;  // modelled columns expected in the table
    std::string absent;                 // a column that must not be there
  };
  const std::vector<Case> cases = {
      {{}, kSummary, {"Mod  2"}, "Mod  3"},
      {{"--columns", "3", "--column", "3"}, kSummary, {"Mod  3"}, "Mod  2"},
      {{"--columns", "3", "--all"}, kSummary, {"Mod  2", "Mod  3"}, "Mod  4"},
      {{"--columns", "3", "--all", "--quiet"}, "", {"Mod  2", "Mod  3"}, "Mod  4"},
      {{"--lower", "10000", "--upper", "20000"}, kSummary, {"Mod  2"}, "Mod  3"},
      {{"--lower=-5", "--upper", "-1"}, kSummary, {"Mod  2"}, "Mod  3"},
  };
  for (const auto& c : cases) {
    const std::string what = ::testing::PrintToString(c.args);
    const CliResult r = Run(c.args);
    EXPECT_EQ(r.status, 0) << what << r.err;
    EXPECT_EQ(r.err, c.err) << what;
    EXPECT_NE(r.out.find("Mean:"), std::string::npos) << what;
    for (const auto& h : c.headings) EXPECT_NE(r.out.find(h), std::string::npos) << what;
    EXPECT_EQ(r.out.find(c.absent), std::string::npos) << what;
  }
}

TEST_F(CliRun, WrongCommandLinesExitTwoWithTheBoxMessage) {
  struct Case {
    std::vector<std::string> args;
    std::string err;  // exact standard error
  };
  const std::vector<Case> cases = {
      {{"--columns", "31"},
       "Error Message: Columns must be a value from 2 to 30.  Column 1 should contain the "
       "observed data.\n"},
      {{"--columns", "abc"}, "Error Message: Columns must be a value from 2 to 30.\n"},
      {{"--columns", "3", "--column", "4"},
       "Error Message: Column to analyse must be less than the total number of columns "
       "available.\n"},
      {{"--threshold", "high"}, "Error Message: Threshold must be a value.\n"},
      {{"--lower", "abc", "--upper", "xyz"}, "Error Message: Lower bound must be a value.\n"},
      {{"--lower", "10", "--upper", "5"},
       "Error Message: Lower bound must be less than upper bound.\n"},
      {{"--lower", "10000"}, "Error Message: Lower bound must be less than upper bound.\n"},
      {{"--upper=-1"}, "Error Message: Upper bound must be greater than lower bound.\n"},
      {{"--parameters", "1"},
       "Error Message: Parameters must be a positive integer greater than 2.\n"},
      {{"--points", "x"}, "Error Message: Data points must be a value.\n"},
      {{"--missing-code", "none"}, "Error Message: Missing data identifier must be a number.\n"},
      {{"--decimals", "7"},
       "Error Message: Required decimals must be an integer value between 0 and 6.\n"},
      {{"--decimals", "-0.5"},
       "Error Message: Required decimals must be an integer value between 0 and 6.\n"},
      // Values are checked in the order of the usage line; the first rejection ends the run.
      {{"--decimals", "7", "--columns", "31"},
       "Error Message: Columns must be a value from 2 to 30.  Column 1 should contain the "
       "observed data.\n"},
  };
  for (const auto& c : cases) {
    const std::string what = ::testing::PrintToString(c.args);
    const CliResult r = Run(c.args);
    EXPECT_EQ(r.status, 2) << what;
    EXPECT_EQ(r.err, c.err) << what;
    EXPECT_EQ(r.out, "") << what;
  }

  // Parse errors: the wording is the parser's.
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--column", "3", "--all"}, {"--columns"}}) {
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(r.err, "") << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "") << ::testing::PrintToString(args);
  }
  EXPECT_EQ(RunCli({}, config_home()).status, 2);  // no data file at all
}

TEST_F(CliRun, AnEmptyValueIsAnEmptyValueAndNeverTakesTheNextWord) {
  // Each option with "=" and nothing after it, followed by a word that must stay a word of its
  // own: the value is empty, and the option's check says so.
  const std::string swallowed = (dir_.path() / "swallowed").string();
  struct Case {
    std::string option;
    std::string err;  // exact standard error
  };
  const std::vector<Case> cases = {
      {"--columns=", "Error Message: Columns must be a value from 2 to 30.\n"},
      {"--column=", "Error Message: Column to analyse must be a value from 2 to 100.\n"},
      {"--threshold=", "Error Message: Threshold must be a value.\n"},
      {"--lower=", "Error Message: Lower bound must be a value.\n"},
      {"--upper=", "Error Message: Upper bound must be a value.\n"},
      {"--parameters=", "Error Message: Parameters must be a value.\n"},
      {"--points=", "Error Message: Data points must be a value.\n"},
      {"--missing-code=", "Error Message: Missing data identifier must be a number.\n"},
      {"--decimals=", "Error Message: Required decimals must be an integer value.\n"},
      {"--settings=", "Error Message: A settings file name is needed after --settings.\n"},
      {"--results=", "Error Message: A results file name is needed after --results.\n"},
      {"--results-dir=", "Error Message: A folder name is needed after --results-dir.\n"},
      {"--format=", "Error Message: Format must be text, tsv, csv or json.\n"},
  };
  for (const auto& c : cases) {
    for (const char* next : {"--quiet", "--header"}) {
      const CliResult r = Run({c.option, next});
      const std::string what = c.option + " " + std::string(next);
      EXPECT_EQ(r.status, 2) << what;
      EXPECT_EQ(r.err, c.err) << what;
      EXPECT_EQ(r.out, "") << what;
    }
  }
  // A value written as the next word is still that option's value, whatever it looks like.
  const CliResult r = Run({"--results", swallowed, "--quiet"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(swallowed));
}

TEST_F(CliRun, SwitchesTakeNoValueAndNoOptionIsGivenTwice) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--quiet=false"},
           {"--all=yes"},
           {"--header=true"},
           {"--comma="},
           {"--apply-bounds=0"},
           {"--aic-bic=no"},
           {"--help=me"},
           {"--quiet", "--quiet"},
           {"--all", "--all"},
           {"--columns", "3", "--columns", "3"},
       }) {
    const CliResult r = Run(args);
    const std::string what = ::testing::PrintToString(args);
    EXPECT_EQ(r.status, 2) << what;
    EXPECT_NE(r.err.find("Run with --help for the options."), std::string::npos) << what << r.err;
    EXPECT_EQ(r.out, "") << what;
  }
  // A final "--" ends the options and is no data file; a word after it is one.
  CliResult r = Run({"--quiet", "--"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = RunCli({"--quiet", "--", "--header"}, config_home());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Data file: --header\n"), std::string::npos) << r.err;
}

TEST_F(CliRun, VersionAndHelpExitZeroWithoutADataFile) {
  CliResult r = RunCli({"--version"}, config_home());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "quelvaris-cli " QUELVARIS_VERSION "\n");
  r = RunCli({"--help"}, config_home());
  EXPECT_EQ(r.status, 0);
  for (const char* part : {"--results-dir", "--format", "json", "Exit status:", "  2    a wrong",
                           "  141  standard output was closed"}) {
    EXPECT_NE(r.out.find(part), std::string::npos) << part;
  }
}

TEST_F(CliRun, TheWholeCommandLineIsCheckedBeforeTheSettingsFileIsRead) {
  const std::string ini = dir_.Write("big.ini", "[Quelvaris]\nDecimalsReq=70000\n");
  const std::string results = (dir_.path() / "never.txt").string();
  const CliResult r = Run({"--settings", ini, "--results", results, "--columns", "abc"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error Message: Columns must be a value from 2 to 30.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::filesystem::exists(results));

  // The options still win over the settings file once everything is accepted.
  const std::string two = dir_.Write("two.ini", "[Quelvaris]\nDecimalsReq=5\n");
  const CliResult ok = Run({"--settings", two, "--decimals", "1", "--quiet"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  std::istringstream mean(ok.out.substr(ok.out.find("Mean:")));
  std::string label, observed;
  mean >> label >> observed;
  EXPECT_EQ(observed, "13.6");  // 13.625
}

TEST_F(CliRun, StoppedRunsAndErrorBoxesExitOne) {
  const std::string missing = (dir_.path() / "nowhere.txt").string();
  const std::string three_rows = dir_.Write("short.txt", "1\t2\n3\t4\n5\t6\n");
  const std::string comma = dir_.Write("comma.csv", "1,2\n3,4\n5,6\n7,8\n");

  CliResult r = RunCli({missing}, config_home());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("File not found.\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Data file: " + missing + "\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  // The run's own boxes join their lines with a lone CR: each becomes a line of its own.
  r = RunCli({three_rows}, config_home());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Error Message: Insufficient data to make calculations.\nOnly 3 rows processed.\n"
            "0 missing observed values noted.\n");
  EXPECT_EQ(r.out, "");

  r = RunCli({comma}, config_home());  // read as tab-delimited: not numbers
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Line 1, column 1: \"1,2\" is not a number."), std::string::npos) << r.err;

  r = RunCli({comma, "--comma", "--quiet"}, config_home());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

TEST_F(CliRun, ResultsFileIsTheDesktopRunsFileAndReplacesAnOldOne) {
  const std::string results = dir_.Write("results.txt", std::string(20000, '#'));
  const CliResult r = Run({"--columns", "3", "--all", "--aic-bic", "--parameters", "3", "--points",
                           "8", "--results", results, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;

  // The same run through the engine as the desktop window drives it.
  auto session = std::make_unique<AnalysisSession>();
  session->request.DataFilePath = data_;
  session->request.DataFileName = "flows.txt";
  session->request.ResultsFilePath = (dir_.path() / "desktop.txt").string();
  session->request.ResultsFileName = "desktop.txt";
  testing::FakeRunHost host;
  host.boxes[RunBox::NoOfColsText] = "3";
  host.boxes[RunBox::AICBICParmsText] = "3";
  host.boxes[RunBox::AICBICPointsText] = "8";
  host.switches[RunSwitch::AnalyseAll] = true;
  host.switches[RunSwitch::CalcAICBIC] = true;
  struct DesktopReports : RunReports {
    void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
      WriteRunResultsFile(ctx, first, last);
    }
    void WriteScreenReport(const RunContext&, std::int16_t, std::int16_t) override {}
  } reports;
  GlobalSettings settings;
  SetDefaultSettings(settings);
  RunAnalysis(RunContext{*session, settings, host}, reports);

  const std::string desktop = ReadFileBytes(session->request.ResultsFilePath);
  ASSERT_NE(desktop, "");
  EXPECT_EQ(ReadFileBytes(results), desktop);
  EXPECT_EQ(r.out, AlignTable(desktop));
  EXPECT_NE(desktop.find("BIC: "), std::string::npos);
}

TEST_F(CliRun, SeveralFilesRunAsEachAloneWithOneTableAndResultsFileEach) {
  // Column 3 of the second file has three usable values only: it computes nothing, and the
  // first file's figures must not show through.
  const std::string gaps =
      dir_.Write("gaps.txt",
                 "10\t11\t8\n12\t12\t-999\n15\t14\t-999\n11\t10\t12\n9\t9\t-999\n"
                 "14\t15\t-999\n20\t19\t24\n");
  const std::string out_dir = (dir_.path() / "out").string();
  std::filesystem::create_directory(out_dir);
  const std::vector<std::string> options = {"--columns", "3", "--all", "--quiet"};

  std::vector<std::string> args = {data_, gaps, "--results-dir", out_dir};
  args.insert(args.end(), options.begin(), options.end());
  const CliResult both = RunCli(args, config_home());
  ASSERT_EQ(both.status, 0) << both.err;

  std::string expected_out;
  for (const auto& [file, stem] : {std::pair{data_, "flows"}, std::pair{gaps, "gaps"}}) {
    const std::string alone = (dir_.path() / (std::string(stem) + ".alone.txt")).string();
    std::vector<std::string> one = {file, "--results", alone};
    one.insert(one.end(), options.begin(), options.end());
    const CliResult r = RunCli(one, config_home());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out_dir + "/" + stem + ".results.txt"), ReadFileBytes(alone)) << stem;
    expected_out += "File: " + file + "\n" + r.out + "\n";
  }
  EXPECT_EQ(both.out, expected_out);
}

// Three data files named flows.txt: the folder given is made with its parents, and each file's
// results file keeps the file's folder below the one they share.
TEST_F(CliRun, ResultsDirIsMadeAndDataFilesOfOneNameKeepTheirFolders) {
  std::filesystem::create_directories(dir_.path() / "a");
  std::filesystem::create_directories(dir_.path() / "b");
  const std::string a = dir_.Write("a/flows.txt", "1\t2\n2\t2\n3\t4\n4\t4\n5\t5\n");
  const std::string b = dir_.Write("b/flows.txt", "1\t0\n2\t2\n3\t3\n4\t9\n");
  const std::filesystem::path out = dir_.path() / "new" / "deeper";
  const CliResult r =
      RunCli({data_, a, b, "--results-dir", out.string(), "--quiet"}, config_home());
  ASSERT_EQ(r.status, 0) << r.err;
  for (const auto& [file, target] : {std::pair{data_, out / "flows.results.txt"},
                                     {a, out / "a" / "flows.results.txt"},
                                     {b, out / "b" / "flows.results.txt"}}) {
    const std::string alone = (dir_.path() / "alone.txt").string();
    ASSERT_EQ(RunCli({file, "--results", alone, "--quiet"}, config_home()).status, 0);
    EXPECT_EQ(ReadFileBytes(target.string()), ReadFileBytes(alone)) << target;
  }
}

TEST_F(CliRun, ResultsFileIntoAMissingFolderFailsButTheReportIsStillShown) {
  const std::string results = (dir_.path() / "no-folder" / "out.txt").string();
  const CliResult r = Run({"--results", results, "--quiet"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error Message: "), std::string::npos);
  EXPECT_NE(r.err.find("Results file: " + results + "\n"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "no-folder"));
  EXPECT_NE(r.out.find("Mean:"), std::string::npos);
}

TEST_F(CliRun, SettingsComeFromTheUsersFileUnlessOverridden) {
  // The user's own settings file: no decimals, -99 marks a missing value.
  std::ofstream(config_home() / "Quelvaris.INI")
      << "[Quelvaris]\r\nGlobalMissingCode=-99\r\nDecimalsReq=0\r\n";
  const std::string other = dir_.Write("team.ini", "[Quelvaris]\nDecimalsReq=4\n");
  const std::string with_missing =
      dir_.Write("gaps.txt", kThreeColumns + std::string("-99\t1\t1\n"));

  struct Case {
    std::vector<std::string> args;
    std::string mean_figure;  // observed mean: 13.625 without the -99 row, 1.111 with it
    std::string missing_line;
  };
  const std::vector<Case> cases = {
      {{}, "14", "1 missing"},
      {{"--decimals", "1"}, "13.6", "1 missing"},
      {{"--missing-code", "-999"}, "1", "0 missing"},
      {{"--settings", other}, "1.1111", "0 missing"},
      {{"--settings", (dir_.path() / "absent.ini").string()}, "", "0 missing"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {with_missing};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = RunCli(args, config_home());
    const std::string what = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, 0) << what << r.err;
    EXPECT_NE(r.err.find(c.missing_line), std::string::npos) << what << r.err;
    if (!c.mean_figure.empty()) {
      const auto line = r.out.substr(r.out.find("Mean:"));
      const auto fields = line.substr(0, line.find('\n'));
      EXPECT_NE(fields.find(" " + c.mean_figure + " "), std::string::npos) << what << fields;
    }
  }
}

TEST_F(CliRun, AReportThatCannotBeWrittenIsNoSuccess) {
  const CliResult r = RunCli({data_, "--quiet"}, config_home(), "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error Message: "), std::string::npos) << r.err;
}

// A path or word with a control byte is quoted in standard error's messages the way the error
// boxes' details quote it, never as the raw byte.
TEST_F(CliRun, ControlBytesOfPathsAndWordsReachStandardErrorEscaped) {
  const std::string odd = dir_.Write("w\x1b.txt", kThreeColumns);
  struct Case {
    std::vector<std::string> args;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {{data_, "--all", "--results", (dir_.path() / "r\x1b.txt").string()},
       "All results will be saved to r\\x1b.txt."},
      {{data_, odd}, "File: " + (dir_.path() / "w\\x1b.txt").string() + "\n"},
      {{data_, "--\x1b"}, "not expected: --\\x1b\n"},
  };
  for (const Case& c : cases) {
    const CliResult r = RunCli(c.args, config_home());
    EXPECT_NE(r.err.find(c.shown), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  }
}

TEST_F(CliRun, SettingsErrorIsShownAndTheRunGoesOnWithExitOne) {
  const std::string ini = dir_.Write("big.ini", "[Quelvaris]\nDecimalsReq=70000\n");
  const CliResult r = Run({"--settings", ini, "--quiet"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Overflow has occurred."), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Mean:"), std::string::npos);
}

}  // namespace
}  // namespace quelvaris
