// Screenshots of the main window before and after a run and of the results window, for the
// README:
//   xvfb-run -a main_screenshots <output folder> examples/three_models.txt
// Writes main-before.png, main-after.png and results.png from a run over a data file of four
// columns. Every dialog is answered automatically; nothing is saved.

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include "settings/global_settings.h"
#include "tool_support.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"

namespace {

using quelvaris::tools::Enter;
using quelvaris::tools::Save;
using quelvaris::tools::Settle;

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quelvaris::tools::UseLookAskedFor();
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output folder> <data file of four columns>\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const QString data = QDir().absoluteFilePath(QString::fromLocal8Bit(argv[2]));
  quelvaris::tools::ToolMain tool(data, true);
  quelvaris::ui::Main& main = *tool.main;
  Settle(500);
  bool ok = Save(main, out.filePath(QStringLiteral("main-before.png")));

  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  Enter(main, "NoOfColsText", "4");
  Enter(main, "ColToAnalText", "3");
  Enter(main, "ThreshText", "20");
  main.findChild<QCheckBox*>(QStringLiteral("CalcAICBIC"))->setChecked(true);
  Enter(main, "AICBICParmsText", "3");
  Enter(main, "AICBICPointsText", "90");

  // First run: every model, for the results window.
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  QTimer::singleShot(0, &main, [&] {
    quelvaris::ui::ResultsFrm* results = main.Results();
    if (!results) return;
    QApplication::setActiveWindow(results);
    Settle(500);
    ok = Save(*results, out.filePath(QStringLiteral("results.png"))) && ok;
    results->ToolbarClick(QStringLiteral("menuBack"));
  });
  main.ToolbarClick(QStringLiteral("tb1Calcs"));

  // Second run: one model, so both groups of figures on the main window are filled.
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(false);
  QTimer::singleShot(0, &main, [&] {
    if (quelvaris::ui::ResultsFrm* results = main.Results()) {
      results->ToolbarClick(QStringLiteral("menuBack"));
    }
  });
  main.ToolbarClick(QStringLiteral("tb1Calcs"));
  QApplication::setActiveWindow(&main);
  Settle(500);
  ok = Save(main, out.filePath(QStringLiteral("main-after.png"))) && ok;
  return ok ? 0 : 1;
}
