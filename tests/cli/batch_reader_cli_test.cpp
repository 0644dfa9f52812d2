// The batch reader as a user meets it: the files that models and spreadsheets write, scored by
// the real quelvaris-cli and checked against the same data in the plain tab form.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_run.h"
#include "cli/cli_runner.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::CliResult;
using testing::RunCliReader;
using testing::TempDir;

// Observed flows and two models; the second model has two gaps.
const char* const kPlain =
    "obs\tm1\tm2\n1.5\t1.4\t-999\n2.5\t2.7\t2.1\n3.5\t3.1\t3.3\n4.5\t4.4\t4.9\n5\t5.2\t-999\n"
    "6.25\t6\t6.5\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string WithoutFolder(std::string text, const std::string& folder) {
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
    text.erase(at, folder.size());
  return text;
}

// The csv rows without the file's name: the figures (and column numbers and names) alone.
std::string FiguresOf(const std::string& csv) {
  std::string out;
  for (const std::string& line : Lines(csv)) out += line.substr(line.find(',') + 1) + "\n";
  return out;
}

class BatchReaderCli : public ::testing::Test {
 protected:
  BatchReaderCli() { std::filesystem::create_directory(config()); }
  std::filesystem::path config() const { return dir_.path() / "config"; }
  CliResult Run(std::vector<std::string> args) const { return RunCliReader(args, config()); }
  TempDir dir_;
};

TEST_F(BatchReaderCli, EveryDialectScoresAsThePlainTabFile) {
  const std::string plain = dir_.Write("plain.txt", kPlain);
  const CliResult reference = Run({plain, "--format", "csv", "--extended", "--quiet"});
  ASSERT_EQ(reference.status, 0) << reference.err;
  const std::string expected = FiguresOf(reference.out);
  ASSERT_EQ(Lines(reference.out).size(), 3u);

  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {"pandas to_csv with its index",
       ",obs,m1,m2\n0,1.5,1.4,\n1,2.5,2.7,2.1\n2,3.5,3.1,3.3\n3,4.5,4.4,4.9\n4,5.0,5.2,\n"
       "5,6.25,6.0,6.5\n",
       {}},
      {"pandas index read back and written again",
       "Unnamed: 0,obs,m1,m2\n0,1.5,1.4,NaN\n1,2.5,2.7,2.1\n2,3.5,3.1,3.3\n3,4.5,4.4,4.9\n"
       "4,5,5.2,nan\n5,6.25,6,6.5\n",
       {}},
      {"R write.csv with row names and NA",
       "\"\",\"obs\",\"m1\",\"m2\"\n\"1\",1.5,1.4,NA\n\"2\",2.5,2.7,2.1\n\"3\",3.5,3.1,3.3\n"
       "\"4\",4.5,4.4,4.9\n\"5\",5,5.2,NA\n\"6\",6.25,6,6.5\n",
       {}},
      {"Excel CSV UTF-8: a byte order mark and CRLF",
       "\xEF\xBB\xBFobs,m1,m2\r\n1.5,1.4,N/A\r\n2.5,2.7,2.1\r\n3.5,3.1,3.3\r\n4.5,4.4,4.9\r\n"
       "5,5.2,null\r\n6.25,6,6.5\r\n",
       {}},
      {"a European spreadsheet: semicolons and decimal commas",
       "obs;m1;m2\n1,5;1,4;\n2,5;2,7;2,1\n3,5;3,1;3,3\n4,5;4,4;4,9\n5;5,2;\n6,25;6;6,5\n",
       {}},
      {"semicolons with decimal points",
       "obs;m1;m2\n1.5;1.4;\n2.5;2.7;2.1\n3.5;3.1;3.3\n4.5;4.4;4.9\n5;5.2;\n6.25;6;6.5\n",
       {}},
      {"whitespace-aligned model output",
       "   obs      m1      m2\n   1.5     1.4     NaN\n   2.5     2.7     2.1\n"
       "   3.5     3.1     3.3\n   4.5     4.4     4.9\n   5.0     5.2     NaN\n"
       "  6.25     6.0     6.5\n",
       {}},
      {"empty lines anywhere, the last ones too",
       "\nobs\tm1\tm2\n1.5\t1.4\t\n\n2.5\t2.7\t2.1\n3.5\t3.1\t3.3\n  \n4.5\t4.4\t4.9\n5\t5.2\t\n"
       "6.25\t6\t6.5\n\n\n",
       {}},
      {"old Mac line ends",
       "obs\tm1\tm2\r1.5\t1.4\tNA\r2.5\t2.7\t2.1\r3.5\t3.1\t3.3\r4.5\t4.4\t4.9\r"
       "5\t5.2\tNA\r6.25\t6\t6.5\r",
       {}},
      {"quoted fields holding the delimiter and quotes; given delimiter",
       "\"obs\",\"m1\",\"m2\"\n\"1.5\",1.4,\"\"\n2.5,2.7,\"2.1\"\n3.5,3.1,3.3\n4.5,4.4,4.9\n5,5.2,"
       "\n"
       "6.25,6,6.5\n",
       {"--delimiter", "comma"}},
      {"a station id before the series, chosen by name",
       "station,obs,m1,m2\nA1,1.5,1.4,\nA1,2.5,2.7,2.1\nA1,3.5,3.1,3.3\nA1,4.5,4.4,4.9\nA1,5,5.2,\n"
       "A1,6.25,6,6.5\n",
       {"--observed", "obs", "--models", "m1,m2"}},
      {"models by number and range, the code as a gap",
       "obs\tjunk\tm1\tm2\n1.5\tx\t1.4\t-999\n2.5\tx\t2.7\t2.1\n3.5\tx\t3.1\t3.3\n4.5\tx\t4.4\t4."
       "9\n"
       "5\tx\t5.2\t-999\n6.25\tx\t6\t6.5\n",
       {"--observed", "1", "--models", "3-4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = dir_.Write("dialect.txt", c.text);
    std::vector<std::string> args = {file, "--format", "csv", "--extended", "--quiet"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string figures = FiguresOf(r.out);
    // The column numbers move with an index or id column before the series; the figures must not.
    if (figures != expected) {
      std::string renumbered;
      for (const std::string& line : Lines(figures)) {
        const std::size_t comma = line.find(',');
        renumbered += line.substr(comma + 1) + "\n";
      }
      std::string wanted;
      for (const std::string& line : Lines(expected))
        wanted += line.substr(line.find(',') + 1) + "\n";
      EXPECT_EQ(renumbered, wanted);
    }
  }
}

TEST_F(BatchReaderCli, LongAndWideFilesAgreeWithADirectComputation) {
  // 40,000 rows (beyond the 16-bit counters) and 1,000 models, every model with a gap.
  constexpr int kRows = 40000;
  constexpr int kModels = 1000;
  std::string text = "obs";
  for (int m = 1; m <= 3; ++m) text += "\tm" + std::to_string(m);
  text += "\n";
  std::vector<double> obs(kRows);
  std::vector<double> mod(kRows);
  for (int i = 0; i < kRows; ++i) {
    obs[i] = 10 + 5 * std::sin(i * 0.01) + (i % 7) * 0.25;
    mod[i] = obs[i] + ((i * 37) % 11 - 5) * 0.125;
    text += std::to_string(obs[i]) + "\t" + std::to_string(mod[i]) + "\t" + std::to_string(mod[i]) +
            "\t" + (i % 100 == 0 ? "NA" : std::to_string(obs[i])) + "\n";
  }
  const std::string long_file = dir_.Write("long.txt", text);
  const CliResult r = Run({long_file, "--format", "json", "--threshold", "12", "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The figures the desktop's 16-bit counters could not hold, computed here in two plain passes
  // over the values as written (std::to_string keeps six decimals).
  long long pot = 0;
  long long sign_changes = -1;
  int sign = 0;
  double sum_e2 = 0;
  for (int i = 0; i < kRows; ++i) {
    const double o = std::stod(std::to_string(obs[i]));
    const double p = std::stod(std::to_string(mod[i]));
    pot += o > 12;
    const double e = o - p;
    const int s = e < 0 ? -1 : (e > 0 ? 1 : sign);
    sign_changes += s != sign;
    sign = s;
    sum_e2 += e * e;
  }
  EXPECT_NE(r.out.find("\"rows\":40000,"), std::string::npos);
  EXPECT_NE(r.out.find("\"pot\":" + std::to_string(pot) + ","), std::string::npos) << pot;
  EXPECT_NE(r.out.find("\"nsc\":" + std::to_string(sign_changes) + ","), std::string::npos)
      << sign_changes;
  const std::size_t at = r.out.find("\"rmse\":");
  ASSERT_NE(at, std::string::npos);
  EXPECT_TRUE(testing::CloseTo(std::stod(r.out.substr(at + 7)), std::sqrt(sum_e2 / kRows), 1e-12));

  // 1,001 columns: every model is scored, none silently dropped.
  std::string wide;
  for (int row = 0; row < 6; ++row) {
    wide += std::to_string(row + 1);
    for (int m = 0; m < kModels; ++m) wide += "," + std::to_string(row + 1 + (m % 3) * 0.5);
    wide += "\n";
  }
  const std::string wide_file = dir_.Write("wide.csv", wide);
  const CliResult w = Run({wide_file, "--format", "csv", "--quiet"});
  ASSERT_EQ(w.status, 0) << w.err;
  EXPECT_EQ(Lines(w.out).size(), static_cast<std::size_t>(kModels) + 1);
  EXPECT_NE(Lines(w.out).back().find("wide.csv,1001,"), std::string::npos);
}

TEST_F(BatchReaderCli, BadFilesAndValuesGetMessagesThatSayWhere) {
  struct Case {
    std::string_view text;
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"obs,m1\n1,2\n2,inf\n3,3\n4,4\n",
       {},
       1,
       "Error Message: data.txt: line 3, column 2 (m1): \"inf\" is not a number."},
      {"obs,m1\n1,2\n2,NaN\n3,3\n4,4\n",
       {"--na", ""},
       1,
       "Error Message: data.txt: line 3, column 2 (m1): \"NaN\" is not a number."},
      {"obs,m1,m2\n1,2,3\n2,3\n",
       {},
       1,
       "Error Message: data.txt: line 3 has 2 fields, fewer than the 3 columns of the file."},
      {"obs,m1\n1,2\n",
       {"--models", "m9"},
       1,
       "Error Message: data.txt has no column named \"m9\" (--models); its columns are: obs, m1."},
      {"obs,m1\n1,2\n",
       {"--observed", "5"},
       1,
       "Error Message: data.txt has 2 columns; --observed 5 is not one of them."},
      {"1,2\n2,3\n3,4\n",
       {"--max-rows", "2"},
       1,
       "Error Message: data.txt has more than 2 data rows (line 3); --max-rows reads more."},
      {std::string_view("obs,m1\n1,2\n2\0,3\n", 16),
       {},
       1,
       "Error Message: data.txt: line 3 holds a NUL byte: the file is binary, not text."},
      {"1,2,9\n2,3\n3,4\n4,5\n",
       {"--columns", "2"},
       0,
       "Data File: data.txt: line 1 has more fields than the 2 columns of the file; the fields "
       "beyond them are ignored."},
      {"1,2\n",
       {"--desktop-reader", "--observed", "1"},
       2,
       "Error Message: --desktop-reader reads as the desktop program does"},
      {"1,2\n", {"--jobs", "0"}, 2, "Error Message: Jobs must be a whole number from 1 to 256."},
      {"1,2\n",
       {"--delimiter", "pipe"},
       2,
       "Error Message: Delimiter must be tab, comma, semicolon or space."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string file = dir_.Write("data.txt", std::string(c.text));
    std::vector<std::string> args = {file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = Run(args);
    EXPECT_EQ(r.status, c.status) << r.err;
    const std::string err = WithoutFolder(r.err, dir_.path().string() + "/");
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
  const CliResult missing = Run({(dir_.path() / "none.txt").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.txt: No such file or directory."), std::string::npos);
}

TEST_F(BatchReaderCli, TheDesktopReaderAndTheBatchReaderGiveTheSameFigures) {
  const std::string example = std::string(QUELVARIS_EXAMPLES_DIR) + "/three_models.txt";
  for (const char* format : {"csv", "text"}) {
    SCOPED_TRACE(format);
    const CliResult desktop =
        Run({example, "--desktop-reader", "--columns", "4", "--all", "--format", format});
    const CliResult batch = Run({example, "--format", format});
    ASSERT_EQ(desktop.status, 0) << desktop.err;
    EXPECT_EQ(batch.out, desktop.out);
    EXPECT_EQ(batch.err, desktop.err);
  }
}

TEST_F(BatchReaderCli, JobsKeepTheOrderAndTheBytesOfOneJob) {
  std::vector<std::string> args;
  for (int f = 0; f < 6; ++f) {
    std::string text = "obs\tm1\n";
    for (int i = 0; i < 200 + 500 * (f % 3); ++i) {
      text += std::to_string(i % 17 + f) + "\t" + std::to_string((i * 7) % 19 + f) + "\n";
    }
    if (f == 3) text += "oops\t1\n";  // one file fails; the others are still scored
    args.push_back(dir_.Write("g" + std::to_string(f) + ".txt", text));
  }
  args.insert(args.end(), {"--format", "json"});
  std::vector<std::string> one = args;
  one.insert(one.end(), {"--jobs", "1"});
  std::vector<std::string> three = args;
  three.insert(three.end(), {"--jobs", "3"});
  const CliResult a = Run(one);
  const CliResult b = Run(three);
  EXPECT_EQ(a.status, 1);
  EXPECT_EQ(b.status, 1);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(a.err, b.err);
  EXPECT_NE(a.err.find("g3.txt: line"), std::string::npos);

  // With no thread to be had, --jobs 3 scores the files in turn, to the same bytes. (The
  // limited child may run as another user: the files are opened here and the folder is opened
  // to all.)
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::others_all,
                               std::filesystem::perm_options::add);
  std::filesystem::permissions(config(), std::filesystem::perms::others_all,
                               std::filesystem::perm_options::add);
  const std::filesystem::path out = dir_.path() / "out.txt", err = dir_.path() / "err.txt";
  std::FILE* out_file = std::fopen(out.c_str(), "w");
  std::FILE* err_file = std::fopen(err.c_str(), "w");
  ASSERT_TRUE(out_file != nullptr && err_file != nullptr);
  const int refused = testing::ExitWithoutThreads([&] {
    ::setenv("XDG_CONFIG_HOME", config().c_str(), 1);
    const int status = cli::RunBatch(three, out_file, err_file);
    std::fflush(out_file);
    std::fflush(err_file);
    return status;
  });
  std::fclose(out_file);
  std::fclose(err_file);
  if (refused != -1) {
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(testing::ReadFileBytes(out), a.out);
    EXPECT_EQ(testing::ReadFileBytes(err), a.err);
  }
}

}  // namespace
}  // namespace quelvaris
