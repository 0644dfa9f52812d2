// Screenshots of the main window, the results file picker and the results window, for the
// README:
//   xvfb-run -a -s '-screen 0 1280x1024x24' main_screenshots <output folder> <data file>
// with examples/three_models.txt as the data file (four columns).
// Writes main-before.png; results-picker.png (the file dialog with a new results file's name
// typed); main-after.png (a run of column 3 with a threshold typed to 15 digits); and
// results-WxH.png, W x H the screen's size, from a run over twelve columns of which column 6
// is a very poor model; main-screen-WxH.png, the screen with the main window on it, to see the
// window fit. Every other dialog is answered automatically; the files picked and
// written lie in a temporary folder.

#include <cstdio>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "tool_support.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/results/results_frm.h"

namespace {

using quelvaris::tools::Calculate;
using quelvaris::tools::Enter;
using quelvaris::tools::Save;
using quelvaris::tools::Settle;

// Opens the results picker with the toolkit's own file dialog, types `name` into it, saves a
// picture of it to `path` and presses Open.
bool PickResultsFile(quelvaris::ui::Main& main, quelvaris::tools::AutoDialogs& dialogs,
                     const QString& name, const QString& path) {
  bool ok = false;
  quelvaris::ui::SetDialogs(nullptr);
  QTimer::singleShot(200, &main, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    QApplication::setActiveWindow(dialog);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->setFocus();
    edit->setText(name);
    Settle(800);
    ok = Save(*dialog, path);
    static_cast<QDialog*>(dialog)->accept();
    if (dialog->isVisible()) {
      std::fprintf(stderr, "the results picker refused %s\n", qPrintable(name));
      ok = false;
      dialog->reject();
    }
  });
  main.findChild<QPushButton*>(QStringLiteral("SelectResultsButton"))->click();
  quelvaris::ui::SetDialogs(&dialogs);
  // No window manager hands the activation back: without it, leaving a box would not check it.
  QApplication::setActiveWindow(&main);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quelvaris::tools::UseLookAskedFor();
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output folder> <data file of four columns>\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(QStringLiteral("."));
  const QString example = QDir().absoluteFilePath(QString::fromLocal8Bit(argv[2]));

  // A study folder as users keep one: the example, an eleven-model run, a file without an
  // extension (listed under "All Files") and a spreadsheet export.
  QTemporaryDir temp(QDir::temp().filePath(QStringLiteral("quelvaris-demo-XXXXXX")));
  const QDir study(temp.filePath(QStringLiteral("upper-river")));
  study.mkpath(QStringLiteral("."));
  const QString data = study.filePath(QStringLiteral("three_models.txt"));
  const QString eleven_models = study.filePath(QStringLiteral("eleven_models.txt"));
  QFile::copy(example, data);
  quelvaris::tools::WriteFlowsFile(eleven_models, 92, 12, 6);
  quelvaris::tools::WriteFlowsFile(study.filePath(QStringLiteral("gauge_flows")), 30, 2);
  quelvaris::tools::WriteFlowsFile(study.filePath(QStringLiteral("rainfall.csv")), 30, 2);

  quelvaris::tools::ToolMain tool(data, true);
  tool.settings().DefaultDir = study.path().toStdString();
  quelvaris::ui::Main& main = *tool.main;
  Settle(500);
  bool ok = Save(main, out.filePath(QStringLiteral("main-before.png")));
  ok = quelvaris::tools::SaveScreen(
           main,
           out.filePath(
               QStringLiteral("main-screen-%1.png").arg(quelvaris::tools::ScreenSizeText(main)))) &&
       ok;

  // One model with a threshold typed to 15 digits, its results file newly named.
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  ok = PickResultsFile(main, tool.dialogs, QStringLiteral("upper-river-results.txt"),
                       out.filePath(QStringLiteral("results-picker.png"))) &&
       ok;
  Enter(main, "NoOfColsText", "4");
  Enter(main, "ColToAnalText", "3");
  Enter(main, "ThreshText", "20.0000000000001");
  main.findChild<QCheckBox*>(QStringLiteral("CalcAICBIC"))->setChecked(true);
  Enter(main, "AICBICParmsText", "3");
  Enter(main, "AICBICPointsText", "90");
  Calculate(main, [](quelvaris::ui::ResultsFrm&) {});
  QApplication::setActiveWindow(&main);
  Settle(500);
  ok = Save(main, out.filePath(QStringLiteral("main-after.png"))) && ok;

  // Every model of the twelve-column file: the results window as this screen shows it.
  tool.dialogs.SetFile(eleven_models);
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  Enter(main, "NoOfColsText", "12");
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  const QSize screen = main.screen()->size();
  const QString shot =
      out.filePath(QStringLiteral("results-%1x%2.png").arg(screen.width()).arg(screen.height()));
  bool shown = false;
  Calculate(main, [&](quelvaris::ui::ResultsFrm& results) {
    QApplication::setActiveWindow(&results);
    Settle(500);
    shown = Save(results, shot);
  });
  ok = shown && ok;
  return ok && tool.dialogs.unexpected == 0 ? 0 : 1;
}
