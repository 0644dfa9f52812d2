#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "scripted_dialogs.h"
#include "ui/extended/extended_window.h"
#include "ui/extended/intervals_job.h"
#include "ui/extended/intervals_panel.h"

namespace quelvaris::ui {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;

// Two models of a 600-row seasonal record, one good and one biased.
ExtendedRun SeasonalRun(const std::string& settings_file) {
  ExtendedRun run;
  run.columns = {2, 3};
  run.modelled.resize(2);
  for (int t = 0; t < 600; ++t) {
    const double o = 30 + 20 * std::sin(t / 30.0) + (t * 37 % 11);
    run.observed.push_back(o);
    run.modelled[0].push_back(o + (t * 53 % 7) - 3);
    run.modelled[1].push_back(1.3 * o + (t * 29 % 13));
  }
  run.pattern = "0.00";
  run.settings_file = settings_file;
  return run;
}

// Waits (the window answering all the while) until the panel's job is done.
bool WaitUntilDone(IntervalsPanel& panel) {
  for (int i = 0; i < 1200 && panel.Running(); ++i) QTest::qWait(25);
  return !panel.Running();
}

TEST(ExtendedIntervalsTest, IntervalsBesideTheFiguresInTheWindowCopyAndSettings) {
  ScriptedDialogs dialogs;
  TempDir dir;
  const std::string ini =
      dir.Write("Quelvaris.INI", "[Quelvaris]\r\nDecimalsReq=2\r\nIntervalResamples=150\r\n");
  ExtendedWindow window(SeasonalRun(ini));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  IntervalsPanel& panel = *window.Intervals();
  EXPECT_EQ(panel.Resamples()->value(), 150);  // from the settings file
  EXPECT_DOUBLE_EQ(panel.Confidence()->value(), 0.9);
  auto* action = window.findChild<QAction*>(QStringLiteral("menuIntervals"));
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));

  const QString plain = window.Table()->item(0, 0)->text();
  panel.Confidence()->setValue(0.8);
  QApplication::setActiveWindow(&window);
  QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_I));
  EXPECT_TRUE(panel.Running());
  EXPECT_FALSE(panel.Progress()->isHidden());
  EXPECT_FALSE(panel.CancelButton()->isHidden());
  ASSERT_TRUE(WaitUntilDone(panel));
  EXPECT_TRUE(panel.Progress()->isHidden());
  EXPECT_EQ(panel.Status()->text(),
            "Intervals: 150 resamples of blocks of 8 rows, 80 % percentile intervals, seed 0.");

  // KGE of the good model, its interval beside it and around it.
  const QString shown = window.Table()->item(0, 0)->text();
  const QRegularExpression form(
      QStringLiteral("^(-?\\d+\\.\\d\\d) \\[(-?\\d+\\.\\d\\d), (-?\\d+\\.\\d\\d)\\]$"));
  const QRegularExpressionMatch m = form.match(shown);
  ASSERT_TRUE(m.hasMatch()) << shown.toStdString();
  EXPECT_EQ(m.captured(1), plain);
  EXPECT_LE(m.captured(2).toDouble(), m.captured(3).toDouble());

  window.ToolbarClick(QStringLiteral("menuCopy"));
  const QString copied = QApplication::clipboard()->text();
  EXPECT_TRUE(copied.contains(shown)) << copied.toStdString();
  EXPECT_TRUE(copied.contains("80 % percentile intervals"));
  const std::string kept = testing::ReadFileBytes(ini);
  EXPECT_EQ(kept.rfind("[Quelvaris]\r\nDecimalsReq=2\r\n", 0), 0u);
  EXPECT_NE(kept.find("IntervalResamples=150"), std::string::npos);
  EXPECT_NE(kept.find("IntervalConfidence=0.8"), std::string::npos);
  EXPECT_TRUE(dialogs.messages.shown.empty());
}

TEST(ExtendedIntervalsTest, CancelLeavesTheFiguresAsTheyWere) {
  ScriptedDialogs dialogs;
  TempDir dir;
  ExtendedWindow window(SeasonalRun((dir.path() / "Quelvaris.INI").string()));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  IntervalsPanel& panel = *window.Intervals();
  panel.Resamples()->setValue(100000);
  const QString plain = window.Table()->item(0, 0)->text();
  window.ToolbarClick(QStringLiteral("menuIntervals"));
  QTest::qWait(100);
  ASSERT_TRUE(panel.Running());
  QTest::mouseClick(panel.CancelButton(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntilDone(panel));
  EXPECT_EQ(panel.Status()->text(), "Intervals cancelled.");
  EXPECT_EQ(window.Table()->item(0, 0)->text(), plain);
  EXPECT_TRUE(panel.Resamples()->isEnabled());

  // Closing a window whose intervals are still being computed stops them.
  window.ToolbarClick(QStringLiteral("menuIntervals"));
  EXPECT_TRUE(panel.Running());
}

// A job whose thread the system refuses ends at once with no intervals, as if cancelled; the
// window's own thread is never left to do the work.
TEST(ExtendedIntervalsTest, AJobWithoutAThreadEndsAsCancelled) {
  const ExtendedRun run = SeasonalRun({});
  const int refused = testing::ExitWithoutThreads([&] {
    BootstrapOptions options;
    options.resamples = 50;
    const IntervalsJob job(run, options);
    return job.Finished() && job.Result().cancelled ? 0 : 1;
  });
  if (refused != -1) {
    EXPECT_EQ(refused, 0);
  }
}

}  // namespace
}  // namespace quelvaris::ui
