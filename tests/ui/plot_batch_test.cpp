// quelvaris-plot run as a user runs it: the picture it writes, its messages and exit statuses.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "pdf_pages.h"
#include "support/test_support.h"

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const std::string kExample = QUELVARIS_EXAMPLES_DIR "/three_models.txt";

ProgramResult RunPlot(const std::vector<std::string>& args, const fs::path& config_home) {
  return RunProgram(QUELVARIS_PLOT_PATH, args, config_home);
}

TEST(PlotBatchTest, WritesAPngOrAOnePagePdfOfTheRun) {
  TempDir dir;
  const std::string png = (dir.path() / "flows.png").string();
  ProgramResult r = RunPlot(
      {kExample, "--columns", "4", "--all", "--threshold", "20", "--output", png}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(1600, 720));
  EXPECT_TRUE(r.out.empty());

  const std::string pdf = (dir.path() / "flows.PDF").string();
  r = RunPlot({kExample, "--columns", "4", "--column", "3", "--quiet", "--output", pdf},
              dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty());  // --quiet drops the run's summary box
  EXPECT_EQ(PdfPages(QString::fromStdString(pdf)), 1);
}

TEST(PlotBatchTest, FailuresSayWhyAndWriteNothing) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  TempDir dir;
  const std::string out = (dir.path() / "out.png").string();
  const Case cases[] = {
      {"no data file", {(dir.path() / "none.txt").string(), "--output", out}, 1, "Error Message: "},
      {"a picture name without .png or .pdf",
       {kExample, "--output", out + ".jpg"},
       2,
       "Output file name must end in .png or .pdf."},
      {"no --output", {kExample}, 2, "--output"},
      {"a rejected value", {kExample, "--columns", "31", "--output", out}, 2, ""},
      {"a folder that does not exist",
       {kExample, "--columns", "4", "--output", (dir.path() / "no" / "out.png").string()},
       1,
       "Unable to write the picture to "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramResult r = RunPlot(c.args, dir.path());
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(out + ".jpg"));
  }
}

}  // namespace
}  // namespace quelvaris::testing
