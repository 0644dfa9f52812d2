// The options of scoring over time at the real quelvaris-cli program.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <date/date.h>

#include "cli/cli_runner.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::CliResult;
using testing::RunCliReader;
using testing::TempDir;

// A week of daily flows with a gap in time, a model, and a stored older model.
const char* const kWeek =
    "day,obs,model,old\n2001-01-30,10,11,8\n2001-01-31,12,12,13\n2001-02-01,15,14,18\n"
    "2001-02-02,11,10,12\n2001-02-05,9,9,7\n2001-02-06,14,15,12\n2001-02-07,20,19,24\n";

TEST(TimeOptionsTest, WrongTimeOptionsAreWrongCommandLines) {
  TempDir dir;
  const std::string data = dir.Write("week.csv", kWeek);
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases{
      {{"--from", "2001-01-01"}, "--from needs a time column (--time)."},
      {{"--time", "day", "--from", "2001-13-01"},
       "--from: \"2001-13-01\" is not a date or date-time (1990-10-01, 1990-10-01T06:00)."},
      {{"--time", "day", "--from", "2001-02-02", "--to", "2001-02-01"},
       "--to must not be earlier than --from."},
      {{"--time", "day", "--skip", "-1"}, "--skip: \"-1\" is not a number of rows (0 or more)."},
      {{"--time", "day", "--by", "week"},
       "--by: \"week\" is not year, water-year, water-year=M (M 1 to 12), season, month, "
       "month-of-year or season-of-year."},
      {{"--time", "day", "--benchmark", "mean", "--benchmark", "mean"},
       "--benchmark mean is given twice."},
      {{"--time", "day", "--benchmark-from", "2001-01-01"},
       "--benchmark-from needs a benchmark (--benchmark)."},
      {{"--time", "day", "--desktop-reader"},
       "--desktop-reader reads numbers only and takes no --time."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), data);
    const CliResult r = RunCliReader(args, dir.path());
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.err, "Error Message: " + c.err + "\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(TimeOptionsTest, PeriodsSkipAndColumnBenchmarksInTheDelimitedRows) {
  TempDir dir;
  const std::string data = dir.Write("week.csv", kWeek);
  // The old model is a benchmark and so no model; February loses its first row to --skip.
  const CliResult r =
      RunCliReader({data, "--time", "day", "--from", "2001-01-31", "--skip", "1", "--by", "month",
                    "--benchmark", "old", "--format", "csv", "--quiet"},
                   dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = r.out.substr(at, end - at);
    std::size_t field = 0;
    std::string kept;
    for (std::size_t i = 0, next; field < 7; i = next + 1, ++field) {
      next = line.find(',', i);
      kept += (field > 0 ? "," : "") + line.substr(i, next - i);
    }
    lines.push_back(kept.substr(kept.find(',') + 1));
  }
  // Column, name, period, start, end, rows: January has no row left, so only February.
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "column,name,period,period_start,period_end,rows",
                       "3,model,,2001-02-01,2001-02-07,5",
                       "3,model,2001-02,2001-02-01,2001-02-07,5",
                   }));
  EXPECT_NE(r.out.find("nse_skill_old"), std::string::npos);
}

TEST(TimeOptionsTest, PeriodsScoredWhileTheFileIsReadLeaveTheOutputAsItWas) {
  // Twenty years of stamps at 06:00 (written back as date-times). The first lines hold long
  // numbers, so that the reader's room, sized from them, runs out before the end of the file.
  std::string text = "time,obs,a,b,c\n";
  std::string faulty = text;
  const date::sys_days first = date::year{2001} / 1 / 1;
  for (int i = 0; i < 7305; ++i) {
    const std::string stamp = date::format("%FT06:00", first + date::days{i});
    const double q = 20 + (i % 50) * 0.5 + i % 7;
    char values[120];
    std::snprintf(values, sizeof values,
                  i < 2000 ? ",%.12f,%.12f,%.12f,%.12f\n" : ",%.1f,%.1f,%.1f,%.1f\n", q, q * 0.9,
                  q + 1, 30 - q / 2);
    text += stamp + values;
    faulty += (i == 3000 ? std::string("2009-02-30T06:00") : stamp) + values;
  }
  TempDir dir;
  const std::string data = dir.Write("years.csv", text);
  const std::string bad = dir.Write("bad.csv", faulty);
  const std::vector<std::vector<std::string>> runs{
      {data, "--by", "month", "--format", "csv"},
      {data, "--by", "year", "--extended", "--format", "json"},
      {data, "--by", "season", "--format", "text"},
      {bad, "--by", "month", "--format", "csv"},
      {data, "--from", "2005-01-01", "--extended", "--format", "json"},  // the whole span alone
  };
  for (const std::vector<std::string>& run : runs) {
    std::vector<CliResult> results;
    for (const char* jobs : {"1", "2"}) {
      std::vector<std::string> args = run;
      for (const char* more : {"--time", "time", "--quiet", "--jobs"}) args.emplace_back(more);
      args.emplace_back(jobs);
      results.push_back(RunCliReader(args, dir.path()));
    }
    EXPECT_EQ(results[0].status, run[0] == bad ? 1 : 0) << results[0].err;
    EXPECT_EQ(results[0].out, results[1].out) << run[2];
    EXPECT_EQ(results[0].err, results[1].err) << run[2];
    EXPECT_EQ(results[0].status, results[1].status);
  }
}

}  // namespace
}  // namespace quelvaris
