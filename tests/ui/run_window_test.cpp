#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "reports/screen_report.h"
#include "scripted_dialogs.h"
#include "settings/figure_format.h"
#include "ui/main/main_window.h"

namespace quelvaris::ui {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;

// What the test saw of the results window while the run had it on screen.
struct SeenReport {
  bool shown = false;
  bool toolbar_visible = false;
  std::size_t messages_before = 0;
  std::vector<DrawnLine> lines;
};

class RunWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main = std::make_unique<Main>(settings);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
  }

  QLineEdit* Box(const char* name) {
    return main->findChild<QLineEdit*>(QString::fromLatin1(name));
  }

  void Enter(const char* name, const char* text) {
    QLineEdit* box = Box(name);
    box->setFocus();
    box->setText(QString::fromLatin1(text));
    QTest::keyClick(box, Qt::Key_Return);
  }

  void PickData(const std::string& path) {
    dialogs.files = {QString::fromStdString(path)};
    main->findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  }

  // Clicks Calculate and, while the modal results window is up, records it and presses Back.
  SeenReport Calculate() {
    SeenReport seen;
    QTimer::singleShot(0, main.get(), [&] {
      ResultsFrm* window = main->Results();
      if (!window) return;
      seen.shown = window->isVisible() && window->isModal();
      seen.toolbar_visible = window->Toolbar()->isVisible();
      seen.messages_before = dialogs.messages.shown.size();
      seen.lines = window->Picture()->Lines();
      window->ToolbarClick(QStringLiteral("menuBack"));
    });
    main->findChild<QAction*>(QStringLiteral("tb1Calcs"))->trigger();
    return seen;
  }

  std::vector<DrawnLine> Expected(std::int16_t first, std::int16_t last, bool aicbic) {
    std::vector<DrawnLine> lines;
    for (const ReportLine& l : BuildScreenReport(main->Session(), settings, first, last, aicbic)) {
      lines.push_back({QString::fromStdString(l.text), l.bold, l.window_font});
    }
    return lines;
  }

  ScriptedDialogs dialogs;
  GlobalSettings settings;
  TempDir dir;
  std::unique_ptr<Main> main;
};

// Observed 1..12; model A observed + 1; model B twice the observed; model C constant 5.
std::string TwelveRows() {
  std::string text;
  for (int i = 1; i <= 12; ++i) {
    text +=
        std::to_string(i) + "\t" + std::to_string(i + 1) + "\t" + std::to_string(2 * i) + "\t5\r\n";
  }
  return text;
}

TEST_F(RunWindowTest, ARunShowsTheSummaryTheFiguresAndTheReport) {
  PickData(dir.Write("flows.txt", TwelveRows()));
  Enter("NoOfColsText", "4");
  Enter("ColToAnalText", "3");
  Box("ThreshText")->setFocus();
  Box("ThreshText")->setText(QStringLiteral("6"));  // still being typed when Calculate is hit

  const SeenReport seen = Calculate();

  ASSERT_TRUE(seen.shown);
  EXPECT_TRUE(seen.toolbar_visible);
  EXPECT_EQ(seen.lines, Expected(3, 3, false));
  EXPECT_EQ(main->Results(), nullptr);  // Back discarded the window
  ASSERT_EQ(dialogs.messages.shown.size(), 1u);
  EXPECT_EQ(dialogs.messages.shown[0].title, "Results");
  EXPECT_EQ(dialogs.messages.shown[0].icon, MessageIcon::Information);
  EXPECT_EQ(dialogs.messages.shown[0].text,
            "Processed 12 rows in file.\r0 missing observed values noted.");
  EXPECT_EQ(main->Session().request.Threshold, 6);

  // Observed 1..12: mean 6.5, 6 values above 6. Model B (column 3) is twice that.
  const std::pair<const char*, const char*> figures[] = {
      {"ObsMeanText", "6.50"},  {"ObsMinText", "1.00"}, {"ObsMaxText", "12.00"},
      {"ObsPOTText", "6"},      {"ObsOOBText", "0"},    {"ObsSkewText", "0.00"},
      {"ModMeanText", "13.00"}, {"ModMinText", "2.00"}, {"ModMaxText", "24.00"},
      {"ModPOTText", "9"},      {"ModOOBText", "0"},    {"ModSkewText", "0.00"},
  };
  for (const auto& [name, text] : figures) EXPECT_EQ(Box(name)->text().toStdString(), text) << name;
  const SeriesStats& obs = main->Session().ObservedStats;
  EXPECT_EQ(Box("ObsSDText")->text().toStdString(), FormatFigure(obs.SD, "0.00"));
  EXPECT_EQ(Box("ObsKurText")->text().toStdString(), FormatFigure(obs.Kur, "0.00"));
  EXPECT_EQ(Box("ModSDText")->text().toStdString(), FormatFigure(2 * obs.SD, "0.00"));
}

TEST_F(RunWindowTest, AnalysingAllEmptiesTheModelledBoxesAndReportsEveryColumn) {
  PickData(dir.Write("flows.txt", TwelveRows()));
  Enter("NoOfColsText", "4");
  main->findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  main->findChild<QCheckBox*>(QStringLiteral("CalcAICBIC"))->setChecked(true);
  Enter("AICBICParmsText", "2");
  Enter("AICBICPointsText", "12");
  StatisticsDisplay stale;
  stale.modelled.fill("stale");
  main->ShowStatistics(stale);

  const SeenReport seen = Calculate();

  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.lines, Expected(2, 4, true));
  EXPECT_EQ(seen.lines.back().text.left(5), QStringLiteral("BIC: "));
  EXPECT_EQ(Box("ObsMeanText")->text(), QStringLiteral("6.50"));
  for (const char* stat : {"Mean", "SD", "Min", "Max", "POT", "Skew", "Kur", "OOB"}) {
    const std::string name = std::string("Mod") + stat + "Text";
    EXPECT_TRUE(Box(name.c_str())->text().isEmpty()) << name;
  }
}

TEST_F(RunWindowTest, AFailingColumnShowsItsErrorAndTheReportStillFollows) {
  std::string text;
  for (int i = 1; i <= 6; ++i) {
    // Column 3 sums past the largest double: its statistics overflow.
    text += std::to_string(i) + "\t" + std::to_string(i) + ".5\t1.5e308\r\n";
  }
  PickData(dir.Write("overflow.txt", text));
  Enter("NoOfColsText", "3");
  main->findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);

  const SeenReport seen = Calculate();

  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.lines, Expected(2, 3, false));
  const std::vector<std::string> errors = dialogs.messages.TextsTitled("Error Message");
  ASSERT_FALSE(errors.empty());
  EXPECT_NE(errors.front().find("Overflow has occurred."), std::string::npos) << errors.front();
  EXPECT_NE(errors.front().find("Column 3."), std::string::npos) << errors.front();
  EXPECT_EQ(seen.messages_before, dialogs.messages.shown.size());  // every box came first
}

TEST_F(RunWindowTest, TheBundledExampleRunsToItsReport) {
  PickData(QUELVARIS_EXAMPLES_DIR "/three_models.txt");
  Enter("NoOfColsText", "4");
  main->findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  const SeenReport seen = Calculate();
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.lines, Expected(2, 4, false));
  EXPECT_TRUE(dialogs.messages.TextsTitled("Error Message").empty());
  ASSERT_EQ(dialogs.messages.TextsTitled("Results").size(), 1u);
  EXPECT_EQ(dialogs.messages.TextsTitled("Results")[0].rfind("Processed ", 0), 0u);
}

TEST_F(RunWindowTest, TheRunKeepsTheCommaChoiceWhenItCommitsAnEntry) {
  std::string text;
  for (int i = 1; i <= 5; ++i) text += std::to_string(i) + "," + std::to_string(i) + "\n";
  PickData(dir.Write("comma.csv", text));
  main->findChild<QWidget*>(QStringLiteral("DelimitOption1"))->setProperty("checked", true);
  Box("ThreshText")->setFocus();
  const SeenReport seen = Calculate();
  ASSERT_TRUE(seen.shown);
  EXPECT_TRUE(
      main->findChild<QWidget*>(QStringLiteral("DelimitOption1"))->property("checked").toBool());
  EXPECT_TRUE(dialogs.messages.TextsTitled("Error Message").empty());
}

}  // namespace
}  // namespace quelvaris::ui
