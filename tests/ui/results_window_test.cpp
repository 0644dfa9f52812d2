#include <gtest/gtest.h>
#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include "pdf_pages.h"
#include "reports/screen_report.h"
#include "scripted_dialogs.h"
#include "ui/plot/plot_data.h"
#include "ui/plot/plot_window.h"
#include "ui/results/results_frm.h"

namespace quelvaris::ui {
namespace {

using testing::PdfFirstPage;
using testing::PdfPages;
using testing::ScriptedDialogs;
using testing::TempDir;

// A report over columns 2..last with figures of every width a run commonly gives; the model
// in column `poor`, if any, is very poor, with figures far wider than its heading.
std::vector<DrawnLine> ModelReport(int last, bool aicbic, int poor = 0) {
  AnalysisSession session;
  GlobalSettings settings;
  session.ObservedStats = {152.3, 48.25, 1.7, 5.25, 12.6, 2315.77, 41, 0, 0};
  for (int c = 2; c <= last; ++c) {
    session.ModelledStats[c] = {150.0 + c, 40.5, -0.25, 4.5, 10.0 * c, 2200.5, 38.0 + c, 0};
    ErrorStats& e = session.Errors[c];
    e = ErrorStats{};
    e.RMSE = 12.75 * c;
    e.CofE = 0.913;
    e.NSC = 12;
    e.PEP = -999;
    e.AIC = 1543.2;
    e.BIC = -12.5;
  }
  if (poor != 0) {
    session.ModelledStats[poor] = {-48213.5, 90311.25, -12.5, 311.75, -999999.5, 87654.25, 2, 0};
    ErrorStats& e = session.Errors[poor];
    e.RMSE = 54213.77;
    e.CofE = -75638.90;
    e.MSDE = 293905.76;
    e.PEP = -123456.78;
    e.AIC = 98765.43;
  }
  std::vector<DrawnLine> lines;
  for (const ReportLine& l : BuildScreenReport(session, settings, 2, last, aicbic)) {
    lines.push_back({QString::fromStdString(l.text), l.bold, l.window_font});
  }
  return lines;
}

// The smallest rectangle holding every pixel that is not nearly white.
QRectF InkBox(const QImage& image) {
  int left = image.width(), right = -1, top = image.height(), bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) > 160) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? QRectF() : QRectF(left, top, right - left + 1, bottom - top + 1);
}

// Every figure starts where its column's heading starts, however wide the figures before it,
// and every text ends short of the column after it. Returns the number of figures checked.
int ExpectColumnsLineUp(const ResPicture& picture) {
  const std::vector<DrawnLine>& lines = picture.Lines();
  const auto& lefts = picture.SegmentLefts();
  const QFontMetricsF plain(ResPicture::ReportFont(false));
  const QFontMetricsF bold(ResPicture::ReportFont(true));
  // The heading's columns: "Observed" and one "Mod n" per model.
  std::vector<double> heading;
  std::size_t first_label_line = 0;
  for (std::size_t i = 0; i < lines.size() && heading.empty(); ++i) {
    const QStringList parts = lines[i].text.split(QLatin1Char('\t'));
    for (int s = 1; s < parts.size(); ++s) {
      if (!parts[s].isEmpty()) heading.push_back(lefts[i][s]);
    }
    first_label_line = i + 1;
  }
  int checked = 0;
  for (std::size_t i = first_label_line - 1; i < lines.size(); ++i) {
    const QStringList parts = lines[i].text.split(QLatin1Char('\t'));
    const QFontMetricsF& metrics = lines[i].bold ? bold : plain;
    std::vector<int> cells;
    for (int s = 1; s < parts.size(); ++s) {
      if (!parts[s].isEmpty()) cells.push_back(s);
    }
    if (cells.empty()) continue;  // a section heading
    EXPECT_LE(cells.size(), heading.size()) << lines[i].text.toStdString();
    if (cells.size() > heading.size()) continue;
    const std::size_t offset = heading.size() - cells.size();  // no observed figure
    double previous_end = metrics.horizontalAdvance(parts[0]);
    for (std::size_t f = 0; f < cells.size(); ++f) {
      const double left = lefts[i][cells[f]];
      EXPECT_DOUBLE_EQ(left, heading[offset + f]) << lines[i].text.toStdString();
      EXPECT_GT(left, previous_end) << lines[i].text.toStdString();
      previous_end = left + metrics.horizontalAdvance(parts[cells[f]]);
      ++checked;
    }
    EXPECT_LE(previous_end, picture.Image().width()) << lines[i].text.toStdString();
  }
  return checked;
}

TEST(ResultsWindowTest, FiguresStartUnderTheirHeadingsWhateverTheirWidths) {
  struct Case {
    const char* name;
    int last;
    bool aicbic;
    int poor;
  };
  const Case cases[] = {
      {"seven ordinary models", 8, false, 0},        {"with AIC and BIC", 8, true, 0},
      {"a very poor model among seven", 8, true, 5}, {"a very poor first model", 8, true, 2},
      {"a very poor model among nine", 10, true, 6}, {"one very poor model", 2, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResultsFrm window;
    const std::vector<DrawnLine> lines = ModelReport(c.last, c.aicbic, c.poor);
    window.Picture()->DrawLines(lines);
    ASSERT_EQ(window.Picture()->Lines(), lines);  // the text drawn stays as the report has it
    EXPECT_GT(ExpectColumnsLineUp(*window.Picture()), 20 * (c.last - 1));
  }
}

TEST(ResultsWindowTest, TheWindowFitsTheScreenAndScrollsOverTheWholeReport) {
  // The screen of the test platform (800 x 600) is smaller than either report.
  for (const auto& [last, poor] : {std::pair{4, 0}, std::pair{10, 6}}) {
    SCOPED_TRACE(last);
    ResultsFrm window;
    window.Picture()->DrawLines(ModelReport(last, true, poor));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << window.frameGeometry().width();

    auto* area = window.findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->widget(), window.Picture());
    EXPECT_EQ(window.Picture()->size(), window.Picture()->Image().size());  // the report whole
    const QSize room = area->viewport()->size();
    EXPECT_EQ(area->horizontalScrollBar()->maximum(),
              std::max(0, window.Picture()->width() - room.width()));
    EXPECT_EQ(area->verticalScrollBar()->maximum(),
              std::max(0, window.Picture()->height() - room.height()));

    // The printed page holds the whole report, not what the window shows of it: its ink has
    // the shape of the picture's.
    ScriptedDialogs dialogs;
    TempDir dir;
    const QString pdf = QString::fromStdString((dir.path() / "report.pdf").string());
    dialogs.printer_setup = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
    window.ToolbarClick(QStringLiteral("menuPrint"));
    const QImage page = PdfFirstPage(pdf, 60);
    ASSERT_FALSE(page.isNull());
    const QRectF printed = InkBox(page);
    const QRectF drawn = InkBox(window.Picture()->Image());
    EXPECT_NEAR(printed.width() / printed.height(), drawn.width() / drawn.height(),
                0.03 * drawn.width() / drawn.height());
  }
}

TEST(ResultsWindowTest, ClearStartsAnEmptyPictureAndActivationShowsTheToolbar) {
  ResultsFrm window;
  window.Picture()->DrawLines(ModelReport(8, false));
  window.Picture()->Clear();
  EXPECT_TRUE(window.Picture()->Lines().empty());
  window.Picture()->DrawLines({{QString(), false, true}, {QStringLiteral("x"), true, false}});
  EXPECT_EQ(window.Picture()->Lines().size(), 2u);

  window.SetToolbarVisible(false);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(window.Toolbar()->isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Results"));
  const QList<QAction*> actions = window.Toolbar()->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->objectName(), QStringLiteral("menuBack"));
  EXPECT_EQ(actions[0]->toolTip(), QStringLiteral("Closes this window (Esc)"));
  EXPECT_EQ(actions[1]->objectName(), QStringLiteral("menuPrint"));
  EXPECT_EQ(actions[1]->toolTip(), QStringLiteral("Print results (Ctrl+P)"));
  EXPECT_EQ(actions[2]->objectName(), QStringLiteral("menuPlot"));
  EXPECT_EQ(actions[2]->toolTip(), QStringLiteral("Plot observed and modelled series (Ctrl+G)"));
  EXPECT_FALSE(actions[2]->isEnabled());  // no run, nothing to plot
  EXPECT_EQ(actions[3]->objectName(), QStringLiteral("menuExtended"));
  EXPECT_EQ(actions[3]->toolTip(),
            QStringLiteral("Extended statistics of every model, with their definitions (Ctrl+E)"));
  EXPECT_FALSE(actions[3]->isEnabled());
}

TEST(ResultsWindowTest, BackDiscardsTheWindow) {
  QPointer<ResultsFrm> window = new ResultsFrm;
  window->show();
  window->ToolbarClick(QStringLiteral("menuElse"));
  EXPECT_TRUE(window->isVisible());
  window->ToolbarClick(QStringLiteral("menuBack"));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST(ResultsWindowTest, KeysPrintPlotAndGoBack) {
  ScriptedDialogs dialogs;
  QPointer<ResultsFrm> window = new ResultsFrm;
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));

  QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(dialogs.printer_dialogs, 1);  // cancelled: nothing printed, nothing said
  QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_G));
  EXPECT_EQ(window->Plot(), nullptr);  // no run, nothing to plot
  auto data = std::make_shared<PlotData>();
  data->columns = {1, 2};
  data->values = {{1, 2, 3}, {1.5, 2, 2.5}};
  window->SetPlotData(data);
  QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_G));
  ASSERT_NE(window->Plot(), nullptr);
  EXPECT_TRUE(window->Plot()->isVisible());

  QApplication::setActiveWindow(window);
  QTest::keyClick(window, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST(ResultsWindowTest, PrintingTwoCopiesGivesTwoPagesAndACancelPrintsNothing) {
  ScriptedDialogs dialogs;
  TempDir dir;
  ResultsFrm window;
  window.Picture()->DrawLines(ModelReport(8, true));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  struct Case {
    int copies;
    bool confirm;
    int pages;  // -1: no file at all
  };
  for (const Case c : {Case{2, true, 2}, Case{1, true, 1}, Case{3, false, -1}}) {
    SCOPED_TRACE(c.copies);
    const QString pdf = QString::fromStdString(
        (dir.path() / ("report-" + std::to_string(c.copies) + ".pdf")).string());
    bool toolbar_visible_while_printing = true;
    dialogs.printer_setup = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setCopyCount(c.copies);
      printer.setPageOrientation(QPageLayout::Landscape);
      return c.confirm;
    };
    QObject::connect(window.Toolbar(), &QToolBar::visibilityChanged, &window, [&](bool visible) {
      if (!visible) toolbar_visible_while_printing = false;
    });
    window.ToolbarClick(QStringLiteral("menuPrint"));
    QObject::disconnect(window.Toolbar(), &QToolBar::visibilityChanged, &window, nullptr);
    EXPECT_TRUE(window.Toolbar()->isVisible());
    EXPECT_TRUE(dialogs.messages.shown.empty());
    if (c.pages < 0) {
      EXPECT_FALSE(QFile::exists(pdf));
      EXPECT_TRUE(toolbar_visible_while_printing);
    } else {
      EXPECT_EQ(PdfPages(pdf), c.pages);
      EXPECT_FALSE(toolbar_visible_while_printing);
    }
  }
  EXPECT_EQ(dialogs.printer_dialogs, 3);
}

}  // namespace
}  // namespace quelvaris::ui
