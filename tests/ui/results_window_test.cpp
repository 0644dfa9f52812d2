#include <gtest/gtest.h>
#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <QToolBar>

#include "pdf_pages.h"
#include "reports/screen_report.h"
#include "scripted_dialogs.h"
#include "ui/plot/plot_data.h"
#include "ui/plot/plot_window.h"
#include "ui/results/report_tab_stops.h"
#include "ui/results/results_frm.h"

namespace quelvaris::ui {
namespace {

using testing::PdfPages;
using testing::ScriptedDialogs;
using testing::TempDir;

// A report over columns 2..8 with figures of every width a run commonly gives.
std::vector<DrawnLine> SevenColumnReport(bool aicbic) {
  AnalysisSession session;
  GlobalSettings settings;
  session.ObservedStats = {152.3, 48.25, 1.7, 5.25, 12.6, 2315.77, 41, 0, 0};
  for (int c = 2; c <= 8; ++c) {
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
  std::vector<DrawnLine> lines;
  for (const ReportLine& l : BuildScreenReport(session, settings, 2, 8, aicbic)) {
    lines.push_back({QString::fromStdString(l.text), l.bold, l.window_font});
  }
  return lines;
}

TEST(ResultsWindowTest, FiguresLineUpUnderTheirHeadings) {
  for (const bool aicbic : {false, true}) {
    ResultsFrm window;
    const std::vector<DrawnLine> lines = SevenColumnReport(aicbic);
    window.Picture()->DrawLines(lines);
    ASSERT_EQ(window.Picture()->Lines(), lines);

    const auto& lefts = window.Picture()->SegmentLefts();
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
    ASSERT_EQ(heading.size(), 8u);
    int checked = 0;
    for (std::size_t i = first_label_line; i < lines.size(); ++i) {
      const QStringList parts = lines[i].text.split(QLatin1Char('\t'));
      std::vector<double> figures;
      for (int s = 1; s < parts.size(); ++s) {
        if (!parts[s].isEmpty()) figures.push_back(lefts[i][s]);
      }
      if (figures.empty()) continue;  // a section heading
      ASSERT_LE(figures.size(), heading.size()) << lines[i].text.toStdString();
      const std::size_t offset = heading.size() - figures.size();  // no observed figure
      for (std::size_t f = 0; f < figures.size(); ++f) {
        EXPECT_DOUBLE_EQ(figures[f], heading[offset + f]) << lines[i].text.toStdString();
        ++checked;
      }
    }
    EXPECT_GT(checked, 200);
    // The whole report fits the picture, the last column included.
    const QFontMetrics metrics(ResPicture::ReportFont(false));
    EXPECT_LE(heading.back() + metrics.horizontalAdvance(QStringLiteral("-999.00")),
              window.Picture()->Image().width());
  }
}

TEST(ResultsWindowTest, TabStopsFollowTheWidthsTheyAreGiven) {
  // Segment widths of a heading ("", "", "Observed", "Mod  2 ", "", ""), a short label with two
  // tabs, a long label with one, and an error line (long label, no observed figure).
  const std::vector<TabbedLine> lines = {
      {{0, 0, 60, 40, 0, 0}},
      {{30, 0, 20, 0, 20}},
      {{70, 20, 0, 20}},
      {{70, 0, 0, 20}},
  };
  EXPECT_EQ(SegmentStarts(lines[1], 50), (std::vector<double>{0, 50, 100, 150, 200}));
  EXPECT_EQ(TabLayoutFaults(lines, 50, 4), 0);
  EXPECT_GT(TabLayoutFaults(lines, 29, 4), 0);  // the short label's tabs reach a third stop
  EXPECT_GT(TabLayoutFaults(lines, 80, 4), 0);  // the long label's one tab stops short
  EXPECT_GT(TabLayoutFaults(lines, 36, 4), 0);  // the long label crowds its figure
  const int chosen = ChooseTabInterval(lines, 10, 200, 4);
  EXPECT_EQ(TabLayoutFaults(lines, chosen, 4), 0);
  EXPECT_EQ(chosen, 37);  // the narrowest interval that lays the lines out cleanly
}

TEST(ResultsWindowTest, ClearStartsAnEmptyPictureAndActivationShowsTheToolbar) {
  ResultsFrm window;
  window.Picture()->DrawLines(SevenColumnReport(false));
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
  window.Picture()->DrawLines(SevenColumnReport(true));
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
