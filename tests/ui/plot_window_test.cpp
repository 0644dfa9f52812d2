#include <gtest/gtest.h>

#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLogValueAxis>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QValueAxis>
#include <QXYSeries>

#include "pdf_pages.h"
#include "scripted_dialogs.h"
#include "ui/main/main_window.h"
#include "ui/plot/plot_charts.h"
#include "ui/plot/plot_legend.h"
#include "ui/plot/plot_view.h"
#include "ui/plot/plot_window.h"

namespace quelvaris::ui {
namespace {

using testing::PdfPages;
using testing::ScriptedDialogs;
using testing::TempDir;

constexpr double M = -999;

std::vector<QPointF> PointsOf(const QXYSeries* series) {
  const QList<QPointF> list = series->points();
  return {list.begin(), list.end()};
}

// Every point a curve shows, its line's then its marks; the breaks of a line are no points.
std::vector<QPointF> CurvePoints(const PlotCurve& curve) {
  std::vector<QPointF> all;
  for (const QXYSeries* series : curve.series) {
    for (const QPointF& p : PointsOf(series)) {
      if (!std::isnan(p.y())) all.push_back(p);
    }
  }
  all.insert(all.end(), curve.marked.begin(), curve.marked.end());
  return all;
}

// The stretches a curve is drawn in: the runs of its line between breaks, and each mark.
std::size_t Stretches(const PlotCurve& curve) {
  std::size_t n = curve.marked.size();
  for (const QXYSeries* series : curve.series) {
    bool in_run = false;
    for (const QPointF& p : PointsOf(series)) {
      if (!std::isnan(p.y()) && !in_run) ++n;
      in_run = !std::isnan(p.y());
    }
  }
  return n;
}

const PlotCurve* FindCurve(const PlotView* view, const QString& name) {
  for (const PlotCurve& c : view->Curves()) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

std::shared_ptr<const PlotData> Data(std::vector<std::vector<double>> values, bool bounds = false,
                                     double threshold = 0) {
  auto data = std::make_shared<PlotData>();
  for (std::size_t i = 0; i < values.size(); ++i) data->columns.push_back(static_cast<int>(i) + 1);
  data->values = std::move(values);
  data->apply_bounds = bounds;
  data->lower = 1;
  data->upper = 10;
  data->threshold = threshold;
  return data;
}

TEST(PlotWindowTest, PlotOpensFromTheResultsWindowWithOneCurvePerAnalysedColumn) {
  ScriptedDialogs dialogs;
  GlobalSettings settings;
  TempDir dir;
  // Twelve rows, observed missing in rows 4 and 9, model 3 missing in row 6.
  std::string text;
  for (int i = 1; i <= 12; ++i) {
    const std::string o = (i == 4 || i == 9) ? "-999" : std::to_string(i);
    const std::string m3 = i == 6 ? "-999" : std::to_string(2 * i);
    text += o + "\t" + std::to_string(i + 1) + "\t" + m3 + "\t5\r\n";
  }
  Main main(settings);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  dialogs.files = {QString::fromStdString(dir.Write("flows.txt", text))};
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  QLineEdit* cols = main.findChild<QLineEdit*>(QStringLiteral("NoOfColsText"));
  cols->setFocus();
  cols->setText(QStringLiteral("4"));
  QTest::keyClick(cols, Qt::Key_Return);
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);

  bool opened = false;
  std::vector<QString> names;
  std::map<QString, std::size_t> pieces;
  std::map<QString, std::vector<QPointF>> points;
  int chart_series = 0;
  int series_total = 0;
  QTimer::singleShot(0, &main, [&] {
    ResultsFrm* results = main.Results();
    if (!results) return;
    QAction* plot = results->Toolbar()->findChild<QAction*>(QStringLiteral("menuPlot"));
    if (plot && plot->isEnabled() &&
        plot->toolTip().startsWith("Plot observed and modelled series")) {
      plot->trigger();
    }
    PlotWindow* window = results->Plot();
    if (window) {
      opened = window->isVisible();
      PlotView* view = window->View(PlotWindow::kHydrograph);
      for (const PlotCurve& c : view->Curves()) {
        names.push_back(c.name);
        pieces[c.name] = Stretches(c);
        points[c.name] = CurvePoints(c);
        series_total += static_cast<int>(c.series.size());
      }
      chart_series = static_cast<int>(view->chart()->series().size());
    }
    results->ToolbarClick(QStringLiteral("menuBack"));
  });
  main.findChild<QAction*>(QStringLiteral("tb1Calcs"))->trigger();

  ASSERT_TRUE(opened);
  // The model looked at (the first, until another is picked) is drawn over the other models,
  // the observed series over them all.
  EXPECT_EQ(names, (std::vector<QString>{"Model 3", "Model 4", "Model 2", "Observed"}));
  EXPECT_EQ(pieces["Observed"], 3u);  // rows 1-3, 5-8, 10-12
  EXPECT_EQ(pieces["Model 2"], 1u);
  EXPECT_EQ(pieces["Model 3"], 2u);
  // One series per line however many its gaps: the chart's cost grows with its series.
  EXPECT_EQ(chart_series, 4);
  EXPECT_EQ(chart_series, series_total);
  EXPECT_EQ(points["Observed"].size(), 10u);
  for (const QPointF& p : points["Observed"]) EXPECT_EQ(p.y(), p.x());  // no dip to -999
  EXPECT_EQ(points["Model 3"].size(), 11u);
  EXPECT_EQ(main.Results(), nullptr);  // the plot closed with its results window
}

TEST(PlotWindowTest, HydrographMarksOutOfBoundsValuesAndDrawsTheThreshold) {
  struct Case {
    bool bounds;
    double threshold;
    std::vector<QString> extra;  // curves besides the series
  };
  const Case cases[] = {
      {false, 0, {}},
      {true, 0, {"Out of bounds"}},
      {false, 4.5, {"Threshold"}},
      {true, 4.5, {"Out of bounds", "Threshold"}},
  };
  for (const Case& c : cases) {
    PlotWindow window(Data({{2, 12, 5, M, 0}, {3, 4, 5, 6, 7}}, c.bounds, c.threshold));
    PlotView* view = window.View(PlotWindow::kHydrograph);
    std::vector<QString> names;
    for (const PlotCurve& curve : view->Curves()) names.push_back(curve.name);
    std::vector<QString> expected{"Model 2", "Observed"};
    expected.insert(expected.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(names, expected);
    if (c.bounds) {
      // 12 and 0 lie outside 1..10; the missing value is no mark.
      EXPECT_EQ(CurvePoints(*FindCurve(view, "Out of bounds")),
                (std::vector<QPointF>{{2, 12}, {5, 0}}));
    }
    if (c.threshold != 0) {
      for (const QPointF& p : CurvePoints(*FindCurve(view, "Threshold"))) {
        EXPECT_EQ(p.y(), 4.5);
      }
    }
  }
}

TEST(PlotWindowTest, ScatterHoldsExactlyTheUsablePairsOfTheSelectedModel) {
  //                  row:  1  2  3   4  5  6
  PlotWindow window(Data({{2, M, 4, 50, 6, 7}, {3, 1, M, 5, 5, 20}, {4, 4, 4, 4, M, 4}},
                         /*bounds=*/true));
  struct Case {
    int column;
    std::vector<QPointF> pairs;  // (observed, modelled) within bounds 1..10
  };
  const Case cases[] = {
      {2, {{2, 3}, {6, 5}}},
      {3, {{2, 4}, {4, 4}, {7, 4}}},
  };
  for (const Case& c : cases) {
    window.SelectColumn(c.column);
    ASSERT_EQ(window.SelectedColumn(), c.column);
    PlotView* view = window.View(PlotWindow::kScatter);
    const PlotCurve* cloud = FindCurve(view, QStringLiteral("Model %1").arg(c.column));
    ASSERT_NE(cloud, nullptr);
    EXPECT_EQ(CurvePoints(*cloud), c.pairs);
    EXPECT_EQ(view->Curves().size(), 2u);  // the cloud and the 1:1 line, nothing else

    auto* x = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    auto* y = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
    ASSERT_TRUE(x && y);
    EXPECT_EQ(x->min(), y->min());
    EXPECT_EQ(x->max(), y->max());
    for (const QPointF& p : c.pairs) {
      EXPECT_TRUE(p.x() >= x->min() && p.x() <= x->max() && p.y() >= y->min() && p.y() <= y->max());
    }
    const std::vector<QPointF> diagonal = CurvePoints(*FindCurve(view, "1:1 line"));
    ASSERT_EQ(diagonal.size(), 2u);
    EXPECT_EQ(diagonal[0], QPointF(x->min(), x->min()));
    EXPECT_EQ(diagonal[1], QPointF(x->max(), x->max()));
  }
}

TEST(PlotWindowTest, ScatterPlotAreaIsSquareInAWideOrTallWindow) {
  PlotWindow window(Data({{1, 5, 9, 20}, {2, 6, 8, 25}}));
  window.Tabs()->setCurrentIndex(PlotWindow::kScatter);
  for (const QSize size : {QSize(1200, 600), QSize(500, 900)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PlotView* view = window.View(PlotWindow::kScatter);
    QTest::qWait(50);  // the chart lays itself out, then the square is fitted
    const QRectF area = view->chart()->plotArea();
    ASSERT_GT(area.width(), 100);
    EXPECT_NEAR(area.width(), area.height(), 2);
    // The 1:1 line runs corner to corner of that area, where its axes are drawn.
    auto* x = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    const QPointF low = view->chart()->mapToPosition(QPointF(x->min(), x->min()));
    const QPointF high = view->chart()->mapToPosition(QPointF(x->max(), x->max()));
    EXPECT_NEAR(low.x(), area.left(), 1);
    EXPECT_NEAR(low.y(), area.bottom(), 1);
    EXPECT_NEAR(high.x(), area.right(), 1);
    EXPECT_NEAR(high.y(), area.top(), 1);
  }
}

TEST(PlotWindowTest, DurationCurvesDescendOnALogAxisOnlyWhenEveryValueIsPositive) {
  struct Case {
    std::vector<std::vector<double>> values;
    bool log_axis;
  };
  const Case cases[] = {
      {{{3, 9, M, 1, 27, 5}, {2, 8, 30, M, 0.5, 4}}, true},
      {{{3, 9, M, 0, 27, 5}, {2, 8, 30, M, 0.5, 4}}, false},   // a zero
      {{{3, 9, M, 1, 27, 5}, {2, -8, 30, M, 0.5, 4}}, false},  // a negative model value
  };
  for (const Case& c : cases) {
    PlotWindow window(Data(c.values));
    PlotView* view = window.View(PlotWindow::kDurationCurves);
    ASSERT_EQ(view->Curves().size(), 2u);
    for (const PlotCurve& curve : view->Curves()) {
      const std::vector<QPointF> points = CurvePoints(curve);
      ASSERT_EQ(points.size(), 5u) << curve.name.toStdString();  // one missing value each
      for (std::size_t i = 1; i < points.size(); ++i) {
        EXPECT_GT(points[i].x(), points[i - 1].x());
        EXPECT_LE(points[i].y(), points[i - 1].y());
      }
      EXPECT_GT(points.front().x(), 0);
      EXPECT_LT(points.back().x(), 100);
    }
    const bool is_log =
        qobject_cast<QLogValueAxis*>(view->chart()->axes(Qt::Vertical).front()) != nullptr;
    EXPECT_EQ(is_log, c.log_axis);
  }
}

TEST(PlotWindowTest, SaveImageWritesAPngAndAOnePagePdf) {
  ScriptedDialogs dialogs;
  TempDir dir;
  PlotWindow window(Data({{2, 4, 6, 8, 3}, {3, 4, 5, 7, 2}}, false, 5));
  window.resize(900, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  const QString png = QString::fromStdString((dir.path() / "hydrograph.png").string());
  const QString pdf = QString::fromStdString((dir.path() / "scatter.PDF").string());
  const QString missing_dir = QString::fromStdString((dir.path() / "no" / "such.png").string());
  dialogs.save_files = {png, pdf, missing_dir, std::nullopt};

  window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->click();
  ASSERT_EQ(dialogs.last_filters.size(), 2);
  EXPECT_TRUE(dialogs.last_filters[0].contains(QLatin1String("*.png")));
  EXPECT_TRUE(dialogs.last_filters[1].contains(QLatin1String("*.pdf")));
  const QImage image(png);
  ASSERT_FALSE(image.isNull());
  // The view and the legend beside it.
  EXPECT_EQ(image.size(), window.Tabs()->currentWidget()->size());
  // Not a blank picture: the plot has its lines and text in it.
  int dark = 0;
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  for (int yy = 0; yy < gray.height(); ++yy) {
    const uchar* line = gray.constScanLine(yy);
    for (int xx = 0; xx < gray.width(); ++xx) dark += line[xx] < 128;
  }
  EXPECT_GT(dark, 500);

  window.Tabs()->setCurrentIndex(PlotWindow::kScatter);
  window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->click();
  EXPECT_GT(QFile(pdf).size(), 0);
  EXPECT_EQ(PdfPages(pdf), 1);
  EXPECT_TRUE(dialogs.messages.shown.empty());

  // A folder that does not exist: an error box, and no file.
  window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->click();
  ASSERT_EQ(dialogs.messages.shown.size(), 1u);
  EXPECT_EQ(dialogs.messages.shown[0].title, "Error Message");
  EXPECT_EQ(dialogs.messages.shown[0].icon, MessageIcon::Error);
  EXPECT_FALSE(QFile::exists(missing_dir));

  // Cancelled: nothing written, nothing said.
  window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->click();
  EXPECT_EQ(dialogs.messages.shown.size(), 1u);
}

TEST(PlotWindowTest, LongSeriesAreThinnedToThePlotWidthAndRegainDetailWhenZoomed) {
  std::vector<std::vector<double>> values(3, std::vector<double>(10000));
  for (std::size_t c = 0; c < values.size(); ++c) {
    for (std::size_t r = 0; r < 10000; ++r)
      values[c][r] = 10 + static_cast<double>((r * (c + 3)) % 17);
  }
  values[0][6000] = 400;  // one flood peak in one row
  PlotWindow window(Data(values));
  window.resize(900, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  PlotView* view = window.View(PlotWindow::kHydrograph);
  QCoreApplication::processEvents();
  const qreal width = view->chart()->plotArea().width();
  ASSERT_GT(width, 100);
  const QXYSeries* observed = FindCurve(view, "Observed")->series.front();
  EXPECT_LE(observed->count(), 2 * static_cast<int>(std::ceil(width)) + 4);
  const std::vector<QPointF> shown = PointsOf(observed);
  EXPECT_NE(std::find(shown.begin(), shown.end(), QPointF(6001, 400)), shown.end());

  auto* x = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
  x->setRange(5990, 6040);  // 51 rows: every one of them shown
  QCoreApplication::processEvents();
  int inside = 0;
  for (const QPointF& p : PointsOf(observed)) inside += p.x() >= 5990 && p.x() <= 6040;
  EXPECT_EQ(inside, 51);
}

TEST(PlotWindowTest, RightClickStepsBackThroughTheZoomsToTheWholePlot) {
  PlotWindow window(Data({{2, 4, 6, 8, 3, 9, 1, 5, 7, 2}, {3, 4, 5, 7, 2, 8, 2, 4, 6, 3}}));
  window.resize(900, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  PlotView* view = window.View(PlotWindow::kHydrograph);
  QCoreApplication::processEvents();
  const QRect area = view->mapFromScene(view->chart()->plotArea()).boundingRect();
  const AxisRange x0 = view->XRange(), y0 = view->YRange();

  auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view->viewport(), to);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
  };
  auto right_click = [&] {
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, area.center());
  };
  drag(area.topLeft() + QPoint(40, 40), area.center());
  const AxisRange x1 = view->XRange(), y1 = view->YRange();
  ASSERT_GT(x1.min, x0.min);
  drag(area.topLeft() + QPoint(60, 60), area.center());
  ASSERT_GT(view->XRange().min, x1.min);

  right_click();
  EXPECT_EQ(view->XRange(), x1);
  EXPECT_EQ(view->YRange(), y1);
  right_click();
  EXPECT_EQ(view->XRange(), x0);
  EXPECT_EQ(view->YRange(), y0);
  right_click();  // nothing before the whole plot: it stays, never below it
  EXPECT_EQ(view->XRange(), x0);
  EXPECT_EQ(view->YRange(), y0);
}

TEST(PlotWindowTest, TicksFallOnRoundNumbersAtAnyZoom) {
  PlotWindow window(Data({{2, 4, 6, 8, 3}, {3, 4, 5, 7, 2}}));
  PlotView* view = window.View(PlotWindow::kHydrograph);
  const AxisRange cases[] = {
      {13.37, 47.91}, {0.0123, 0.0456}, {-3.3, 711.2}, {1e5 + 0.01, 1e5 + 0.07}};
  for (const AxisRange& c : cases) {
    SCOPED_TRACE(c.max);
    view->SetRanges({1.7, 4.3}, c);
    auto* y = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
    auto* x = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
    EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
    EXPECT_EQ(y->tickAnchor(), 0);
    // 1, 2 or 5 times a power of ten, a few intervals across the range.
    const double step = y->tickInterval();
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                std::abs(mantissa - 5) < 1e-9)
        << step;
    const double intervals = (c.max - c.min) / step;
    EXPECT_TRUE(intervals >= 2.5 && intervals <= 12) << intervals;
    EXPECT_EQ(x->tickInterval(), 1);  // rows: whole numbers however far zoomed in
  }
}

TEST(PlotWindowTest, LegendNamesEveryModelWithinTheWindowOnA800x600Screen) {
  std::vector<std::vector<double>> values(30, std::vector<double>(50));
  for (std::size_t c = 0; c < values.size(); ++c) {
    for (std::size_t r = 0; r < 50; ++r) values[c][r] = static_cast<double>(r % 7 + c);
  }
  auto data = std::const_pointer_cast<PlotData>(Data(values));
  data->names.assign(30, QString());
  data->names[4] = QStringLiteral("lag 2");  // column 5 named by the header
  PlotWindow window(data);
  window.resize(780, 520);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  EXPECT_LE(window.minimumSizeHint().width(), 780);
  EXPECT_LE(window.minimumSizeHint().height(), 520);
  PlotLegend* legend = window.Legend(PlotWindow::kHydrograph);
  ASSERT_NE(legend, nullptr);
  std::vector<QString> names;
  for (const LegendEntry& e : legend->Entries()) names.push_back(e.name);
  ASSERT_EQ(names.size(), 30u);
  EXPECT_EQ(names[0], "Observed");
  EXPECT_EQ(names[1], "Model 2");
  EXPECT_EQ(names[4], "lag 2");
  EXPECT_EQ(names[29], "Model 30");
  EXPECT_EQ(window.ModelSelector()->itemText(3), "lag 2");
  // Every entry drawn whole inside the legend, none over another; the legend inside the window.
  const std::vector<QRect> rects = legend->EntryRects();
  for (std::size_t i = 0; i < rects.size(); ++i) {
    EXPECT_TRUE(legend->rect().contains(rects[i])) << i;
    for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(rects[i].intersects(rects[j])) << i << j;
  }
  const QRect in_window(legend->mapTo(&window, QPoint()), legend->size());
  EXPECT_TRUE(window.rect().contains(in_window));
  EXPECT_TRUE(window.rect().contains(QRect(
      window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->mapTo(&window, QPoint()),
      window.findChild<QPushButton*>(QStringLiteral("SaveImageButton"))->size())));
  // Sixteen models, sixteen colours.
  std::vector<QRgb> colours;
  for (int c = 2; c <= 17; ++c) colours.push_back(SeriesColor(c).rgb());
  std::sort(colours.begin(), colours.end());
  EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end());
}

}  // namespace
}  // namespace quelvaris::ui
