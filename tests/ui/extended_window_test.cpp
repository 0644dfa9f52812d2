#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "scripted_dialogs.h"
#include "settings/global_settings.h"
#include "ui/extended/extended_window.h"
#include "ui/main/main_window.h"
#include "ui/plot/plot_window.h"
#include "ui/results/results_frm.h"

namespace quelvaris::ui {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;

constexpr int kRow = static_cast<int>(ExtendedStat::Kge2009);
constexpr int kRRow = static_cast<int>(ExtendedStat::Kge2009R);
constexpr int kPbiasRow = static_cast<int>(ExtendedStat::Pbias);

// Eleven columns: ten models, more than the results window shows side by side. Model 2 is the
// observed series itself, model 3 a constant, the others scaled copies with a gap each.
std::string ElevenColumnFile() {
  std::string text;
  for (int i = 1; i <= 12; ++i) {
    const double o = 10 + (i * 7) % 12;
    std::string line = std::to_string(o) + "\t" + std::to_string(o) + "\t5";
    for (int c = 4; c <= 11; ++c) {
      line += "\t" + (i == c ? std::string("-999") : std::to_string(o * (0.8 + 0.05 * c)));
    }
    text += line + "\r\n";
  }
  return text;
}

TEST(ExtendedWindowTest, ExtendedShowsEveryAnalysedModelInTheReportsDecimals) {
  ScriptedDialogs dialogs;
  GlobalSettings settings;
  settings.DecimalsReq = 3;
  settings.ResultFormat = FormatForDecimals(3, settings.ResultFormat);
  TempDir dir;
  Main main(settings);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  dialogs.files = {QString::fromStdString(dir.Write("flows.txt", ElevenColumnFile()))};
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  QLineEdit* cols = main.findChild<QLineEdit*>(QStringLiteral("NoOfColsText"));
  cols->setFocus();
  cols->setText(QStringLiteral("11"));
  QTest::keyClick(cols, Qt::Key_Return);
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);

  QStringList headings, labels;
  QString kge_tooltip, same, constant_r, undefined_tip;
  QPointer<ExtendedWindow> window;
  QTimer::singleShot(0, &main, [&] {
    ResultsFrm* results = main.Results();
    if (!results) return;
    // Through its key, as a keyboard user opens it.
    QApplication::setActiveWindow(results);
    QTest::keySequence(results, QKeySequence(Qt::CTRL | Qt::Key_E));
    window = results->Extended();
    if (window) {
      QTableWidget* table = window->Table();
      for (int c = 0; c < table->columnCount(); ++c) {
        headings << table->horizontalHeaderItem(c)->text();
      }
      for (int r = 0; r < table->rowCount(); ++r) labels << table->verticalHeaderItem(r)->text();
      kge_tooltip = table->verticalHeaderItem(kRow)->toolTip();
      same = table->item(kRow, 0)->text();
      constant_r = table->item(kRRow, 1)->text();
      undefined_tip = table->item(kRRow, 1)->toolTip();
    }
    results->ToolbarClick(QStringLiteral("menuBack"));
  });
  main.findChild<QAction*>(QStringLiteral("tb1Calcs"))->trigger();

  QStringList expected_headings;
  for (int c = 2; c <= 11; ++c) expected_headings << QStringLiteral("Model %1").arg(c);
  EXPECT_EQ(headings, expected_headings);  // all ten: no narrowing
  ASSERT_EQ(labels.size(), static_cast<int>(kExtendedStatCount));
  EXPECT_EQ(labels[kPbiasRow], "Percent bias");
  EXPECT_TRUE(kge_tooltip.contains("1 - sqrt((r - 1)^2 + (alpha - 1)^2 + (beta - 1)^2)"));
  EXPECT_TRUE(kge_tooltip.contains("Gupta et al. 2009, J. Hydrol. 377, 80-91"));
  EXPECT_EQ(same, "1.000");   // model 2 is the observed series
  EXPECT_EQ(constant_r, "");  // r of a constant model is undefined: a blank, never -999
  EXPECT_TRUE(undefined_tip.contains("Model 3 is constant")) << undefined_tip.toStdString();
  EXPECT_TRUE(window.isNull());  // closed with its results window
  EXPECT_TRUE(dialogs.messages.TextsTitled("Error Message").empty());
}

ExtendedRun TwoModelRun() {
  ExtendedRun run;
  run.columns = {2, 3};
  run.observed = {10, 20, 30, 40};
  run.modelled = {{12, 18, 33, 40}, {7, 7, 7, 7}};
  run.pattern = "0.00";
  return run;
}

ExtendedRun RunOfModels(int models) {
  ExtendedRun run = TwoModelRun();
  run.columns.clear();
  run.modelled.clear();
  for (int c = 2; c <= models + 1; ++c) {
    run.columns.push_back(c);
    run.modelled.push_back({12.0 + c, 18, 33, 40});
  }
  return run;
}

// The window holds the table whole, labels included, when the screen (800 x 600 here) has room,
// with no empty strip inside the table; with more models it stays on the screen, every figure
// row still shown above the bar, the models scrolling sideways.
TEST(ExtendedWindowTest, TheWindowFitsItsTableAndTheScreen) {
  struct Case {
    const char* name;
    ExtendedRun run;
    bool scrolls_sideways;
  };
  for (const Case& test :
       {Case{"two models", TwoModelRun(), false}, Case{"four", RunOfModels(4), false},
        Case{"15", RunOfModels(15), true}, Case{"29", RunOfModels(29), true}}) {
    SCOPED_TRACE(test.name);
    ExtendedWindow window(test.run);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    QTableWidget* table = window.Table();
    const QRect room = window.screen()->availableGeometry();
    EXPECT_LE(window.frameGeometry().width(), room.width());
    EXPECT_LE(window.frameGeometry().height(), room.height());
    EXPECT_FALSE(table->verticalScrollBar()->isVisible());
    EXPECT_EQ(table->horizontalScrollBar()->isVisible(), test.scrolls_sideways);
    EXPECT_EQ(table->viewport()->height(), table->verticalHeader()->length());
    if (!test.scrolls_sideways) {
      EXPECT_EQ(table->viewport()->width(), table->horizontalHeader()->length());
    }
  }
}

TEST(ExtendedWindowTest, CopyPutsTheTableOnTheClipboardAsTabSeparatedText) {
  ExtendedWindow window(TwoModelRun());
  QApplication::clipboard()->clear();
  window.Toolbar()->findChild<QAction*>(QStringLiteral("menuCopy"))->trigger();
  const QStringList lines = QApplication::clipboard()->text().split('\n');
  ASSERT_EQ(lines.size(), static_cast<int>(kExtendedStatCount) + 2);  // and the last line end
  EXPECT_EQ(lines[0], "Figure\tKey\tModel 2\tModel 3");
  EXPECT_EQ(lines[1 + kPbiasRow], "Percent bias\tpbias\t3.00\t-72.00");
  EXPECT_EQ(lines[1 + kRRow], "KGE 2009 r\tkge2009_r\t0.99\t");  // undefined: an empty field
  EXPECT_EQ(lines.back(), "");
}

// A blank figure's tooltip says why it is blank: a constant series leaves r (and the efficiencies
// built on it) undefined, where the results window's Correl Coeff shows 0.
TEST(ExtendedWindowTest, ABlankFigureSaysWhyItIsUndefined) {
  ExtendedRun constant_observed = TwoModelRun();
  constant_observed.observed = {5, 5, 5, 5};
  ExtendedRun one_pair = TwoModelRun();
  one_pair.observed = {10, -999, -999, -999};
  const struct {
    const char* name;
    ExtendedRun run;
    int column;
    ExtendedStat stat;
    std::vector<const char*> said;
  } cases[] = {
      {"constant model, r",
       TwoModelRun(),
       1,
       ExtendedStat::Kge2009R,
       {"O or P is constant", "Model 3 is constant", "no spread", "Correl Coeff shows 0"}},
      {"constant observed",
       constant_observed,
       0,
       ExtendedStat::Kge2009Alpha,
       {"Undefined for Model 2: O is constant."}},
      {"constant observed, r",
       constant_observed,
       0,
       ExtendedStat::Kge2009R,
       {"the observed series is constant"}},
      {"one pair", one_pair, 0, ExtendedStat::Kge2009R, {"fewer than 2 paired rows"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    ExtendedWindow window(test.run);
    const QTableWidgetItem* cell = window.Table()->item(static_cast<int>(test.stat), test.column);
    ASSERT_EQ(cell->text(), "");
    for (const char* words : test.said) {
      EXPECT_TRUE(cell->toolTip().contains(QString::fromUtf8(words)))
          << cell->toolTip().toStdString();
    }
  }
}

// The keys work without any desktop's bindings and the tooltips name them; Esc closes the
// window as it closes the results window, the plot window's too.
TEST(ExtendedWindowTest, KeysCopySaveAndCloseAndTheTooltipsNameThem) {
  ScriptedDialogs dialogs;
  auto* window = new ExtendedWindow(TwoModelRun());
  QPointer<ExtendedWindow> alive(window);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QAction* copy = window->Toolbar()->findChild<QAction*>(QStringLiteral("menuCopy"));
  QAction* save = window->Toolbar()->findChild<QAction*>(QStringLiteral("menuSaveAs"));
  EXPECT_EQ(copy->toolTip(), "Copy the table to the clipboard as tab-separated text (Ctrl+C)");
  EXPECT_EQ(save->toolTip(), "Save the table as a csv file (Ctrl+Shift+S)");

  QApplication::clipboard()->clear();
  QTest::keySequence(window->Table(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Figure\tKey\tModel 2\tModel 3\n"));
  dialogs.save_files = {std::nullopt};
  QTest::keySequence(window->Table(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  EXPECT_TRUE(dialogs.save_files.empty());  // the dialog was asked
  QTest::keyClick(window->Table(), Qt::Key_Escape);
  QTest::qWait(0);
  EXPECT_TRUE(alive.isNull());

  auto data = std::make_shared<PlotData>();
  data->columns = {1, 2};
  data->values = {{1, 2, 3}, {1, 2, 4}};
  auto* plot = new PlotWindow(data);
  QPointer<PlotWindow> plot_alive(plot);
  plot->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(plot));
  QTest::keyClick(plot->Tabs(), Qt::Key_Escape);
  QTest::qWait(0);
  EXPECT_TRUE(plot_alive.isNull());
}

// Save As first proposes a name made from the data file's, beside it; with no data file, one in
// the home folder.
TEST(ExtendedWindowTest, SaveAsProposesANameFromTheDataFile) {
  ScriptedDialogs dialogs;
  const struct {
    const char* data_file;
    QString proposed;
  } cases[] = {
      {"/data/gauges/flows.txt", "/data/gauges/flows-extended.csv"},
      {"/data/gauges/run.2024.csv", "/data/gauges/run.2024-extended.csv"},
      {"", QDir::home().filePath("extended.csv")},
  };
  for (const auto& test : cases) {
    ExtendedRun run = TwoModelRun();
    run.data_file = test.data_file;
    ExtendedWindow window(run);
    dialogs.save_files = {std::nullopt};
    window.SaveTable();
    EXPECT_EQ(dialogs.last_save_start, test.proposed) << test.data_file;
  }
}

TEST(ExtendedWindowTest, SaveAsWritesCsvAndReportsAFailure) {
  ScriptedDialogs dialogs;
  TempDir dir;
  ExtendedWindow window(TwoModelRun());
  QAction* save = window.Toolbar()->findChild<QAction*>(QStringLiteral("menuSaveAs"));

  dialogs.save_files = {std::nullopt};  // cancelled: nothing written, nothing said
  save->trigger();
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  const std::filesystem::path target = dir.path() / "figures";  // ".csv" is added
  dialogs.save_files = {QString::fromStdString(target.string())};
  save->trigger();
  const std::string text = testing::ReadFileBytes(dir.path() / "figures.csv");
  EXPECT_EQ(text.substr(0, text.find("\r\n")), "Figure,Key,Model 2,Model 3");
  EXPECT_NE(text.find("\r\nPercent bias,pbias,3.00,-72.00\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nKGE 2009 r,kge2009_r,0.99,\r\n"), std::string::npos);

  const std::string missing = (dir.path() / "no such folder" / "x.csv").string();
  dialogs.save_files = {QString::fromStdString(missing)};
  save->trigger();
  // The dialog starts from the file saved last.
  EXPECT_EQ(dialogs.last_save_start, QString::fromStdString((dir.path() / "figures.csv").string()));
  const std::vector<std::string> errors = dialogs.messages.TextsTitled("Error Message");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("File: " + missing), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace quelvaris::ui
