// quelvaris-plot run as a user runs it: the picture it writes, its messages and exit statuses.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QXYSeries>

#include "pdf_pages.h"
#include "support/test_support.h"
#include "ui/plot/plot_charts.h"
#include "ui/plot/plot_data.h"
#include "ui/plot/plot_sheet.h"
#include "ui/plot/plot_view.h"

namespace quelvaris::testing {
namespace {

namespace fs = std::filesystem;

const std::string kExample = QUELVARIS_EXAMPLES_DIR "/three_models.txt";

// Read as the desktop program reads: these tests pin the desktop run's messages and limits.
ProgramResult RunPlot(std::vector<std::string> args, const fs::path& config_home) {
  args.insert(args.begin(), "--desktop-reader");
  return RunProgram(QUELVARIS_PLOT_PATH, args, config_home);
}

// By default the plot command reads as the batch command does: a pandas file with its index,
// gaps as empty fields, models chosen by name.
TEST(PlotBatchTest, ReadsTheFilesTheBatchCommandReads) {
  TempDir dir;
  std::string csv = ",obs,sim_a,sim_b\n";
  for (int i = 0; i < 40; ++i) {
    const std::string o = std::to_string(10 + i % 7);
    csv += std::to_string(i) + "," + o + "," + (i % 9 == 0 ? "" : o) + ",3\n";
  }
  const std::string data = dir.Write("flows.csv", csv);
  const std::string png = (dir.path() / "flows.png").string();
  const ProgramResult r =
      RunProgram(QUELVARIS_PLOT_PATH, {data, "--models", "sim_a", "--output", png}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Processed 40 rows in file."), std::string::npos) << r.err;
  EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull());
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

// Whether the page shows something near `colour` within the given part of its width.
bool ShowsColour(const QImage& page, QColor colour, double from, double to) {
  for (int y = 0; y < page.height(); ++y) {
    for (int x = static_cast<int>(from * page.width()); x < to * page.width(); ++x) {
      const QColor c = page.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <
          40) {
        return true;
      }
    }
  }
  return false;
}

TEST(PlotBatchTest, PdfFillsThePageAndKeepsTheLegendOfEveryModel) {
  TempDir dir;
  const std::string pdf = (dir.path() / "flows.pdf").string();
  const ProgramResult r =
      RunPlot({kExample, "--columns", "4", "--all", "--quiet", "--output", pdf}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage page = PdfFirstPage(QString::fromStdString(pdf), 100);
  if (page.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
  // What is drawn spans the page within its margins both ways.
  QRect drawn;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) < 200) drawn |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_GT(drawn.width(), 0.85 * page.width());
  EXPECT_GT(drawn.height(), 0.80 * page.height());
  // The legend, at the right of the page, shows each model's colour.
  for (int column : {2, 3, 4}) {
    EXPECT_TRUE(ShowsColour(page, ui::SeriesColor(column), 0.85, 1.0)) << column;
  }
}

// Thirty years of days are a band of lines in the hydrograph: the observed one, drawn last,
// still lets every model's colour through.
TEST(PlotBatchTest, DenseHydrographShowsTheModelsUnderTheObservedLine) {
  TempDir dir;
  const std::string png = (dir.path() / "daily.png").string();
  const ProgramResult r = RunProgram(QUELVARIS_PLOT_PATH,
                                     {QUELVARIS_EXAMPLES_DIR "/over_time/daily_30y.txt", "--time",
                                      "date", "--quiet", "--output", png},
                                     dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage image(QString::fromStdString(png));
  // The models that stray from the observed flows ("bucket" follows them closely).
  for (int column : {3, 4}) {
    EXPECT_TRUE(ShowsColour(image, ui::SeriesColor(column), 0.05, 0.45)) << column;
  }
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

// With a time column the hydrograph runs along the dates: ticks on round calendar steps,
// labelled as far as the step tells.
TEST(PlotBatchTest, HydrographAgainstTimeStampsIsLabelledWithDates) {
  struct Case {
    const char* from;
    const char* to;
    QStringList labels;
  };
  const Case cases[] = {
      {"1995-06-01",
       "2003-05-31",
       {"1996", "1997", "1998", "1999", "2000", "2001", "2002", "2003"}},
      {"2003-02-01",
       "2003-08-31",
       {"2003-02", "2003-03", "2003-04", "2003-05", "2003-06", "2003-07", "2003-08"}},
      {"2003-02-01", "2003-03-20", {"2003-02-01", "2003-02-16", "2003-03-01", "2003-03-16"}},
      {"2003-02-01",
       "2003-02-07",
       {"2003-02-01", "2003-02-02", "2003-02-03", "2003-02-04", "2003-02-05", "2003-02-06",
        "2003-02-07"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    const auto seconds = [](const char* date) {
      return static_cast<double>(
          QDateTime(QDate::fromString(date, Qt::ISODate), QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
    };
    ui::PlotData data;
    data.columns = {1};
    data.values = {std::vector<double>{1, 2, 3}};
    data.times = {seconds(c.from), (seconds(c.from) + seconds(c.to)) / 2, seconds(c.to)};
    ui::PlotView view;
    ui::BuildHydrograph(view, data, 0);
    auto* x = qobject_cast<QCategoryAxis*>(view.chart()->axes(Qt::Horizontal).front());
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->categoriesLabels(), c.labels) << x->categoriesLabels().join(' ').toStdString();
  }
}

// Periods that follow one another stand under their own flows: at the middle of each, on the
// hydrograph's time axis, whose plot area starts at the same place however wide the labels.
TEST(PlotBatchTest, DatedPeriodsShareTheHydrographsTimeAxis) {
  ui::PlotData data;
  data.columns = {1, 2};
  data.values = {std::vector<double>{1, 40000, 3, 4}, std::vector<double>{1, 2, 3, 5}};
  data.times = {0, 1e8, 2e8, 3e8};
  data.period_labels = {QStringLiteral("1970"), QStringLiteral("1974")};
  data.period_figure = {{-0.5, 0.75}};
  data.period_middles = {0.5e8, 2.5e8};
  data.period_figure_name = QStringLiteral("NSE");
  data.period_grouping = QStringLiteral("year");
  ui::PlotSheet sheet(data);
  sheet.resize(1600, 960);
  sheet.show();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  QChart* periods = sheet.Periods()->chart();
  QChart* flows = sheet.Hydrograph()->chart();
  EXPECT_NEAR(periods->plotArea().left(), flows->plotArea().left(), 1);
  EXPECT_EQ(periods->axes(Qt::Horizontal).front()->property("min"),
            flows->axes(Qt::Horizontal).front()->property("min"));
  auto* line = qobject_cast<QXYSeries*>(periods->series().front());
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->count(), 2);
  EXPECT_EQ(line->at(1), QPointF(2.5e8, 0.75));
}

TEST(PlotBatchTest, TimeColumnGivesTheEvaluationPeriodsDatesAndTheNseOfEachPeriod) {
  TempDir dir;
  std::string text = "date\tobs\tsim\n";
  for (QDate d(2000, 1, 1); d.year() < 2003; d = d.addDays(1)) {
    const int v = 10 + d.dayOfYear() % 17;
    text += d.toString(Qt::ISODate).toStdString() + "\t" + std::to_string(v) + "\t" +
            std::to_string(v + d.day() % 3) + "\n";
  }
  const std::string data = dir.Write("daily.txt", text);
  const std::string png = (dir.path() / "daily.png").string();
  ProgramResult r = RunProgram(
      QUELVARIS_PLOT_PATH,
      {data, "--time", "date", "--from", "2001-01-01", "--by", "year", "--quiet", "--output", png},
      dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(1600, 960));

  // A stamp that does not read stops the run with the batch command's message.
  fs::remove(png);
  const std::string bad =
      dir.Write("bad.txt",
                "date\tobs\tsim\n2001-01-01\t1\t1\n2001-01-0x\t2\t2\n2001-01-03\t3\t3\n"
                "2001-01-04\t4\t4\n2001-01-05\t5\t5\n");
  r = RunProgram(QUELVARIS_PLOT_PATH, {bad, "--time", "date", "--output", png}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("bad.txt: line 3: \"2001-01-0x\" is not a time stamp"), std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(png));
}

}  // namespace
}  // namespace quelvaris::testing
