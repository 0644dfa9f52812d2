// Screenshots of the plot window's three views for the README, and how long the plot window
// of the largest run takes to open:
//   xvfb-run -a plot_screenshots <output folder> examples/three_models.txt
//   plot_screenshots --time [runs]     (QT_QPA_PLATFORM=offscreen or under xvfb-run -a)
// The screenshots come from a run of every model with a threshold of 20 and bounds of 0 to 80
// applied; the timing from 10,000 rows of 30 columns, every model analysed, measured from the
// Plot click to the first paint of the hydrograph.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "settings/global_settings.h"
#include "tool_support.h"
#include "ui/main/main_window.h"
#include "ui/plot/plot_view.h"
#include "ui/plot/plot_window.h"
#include "ui/results/results_frm.h"

namespace {

using quelvaris::tools::Calculate;
using quelvaris::tools::Settle;
using quelvaris::ui::PlotWindow;
using quelvaris::ui::ResultsFrm;

QAction* PlotAction(ResultsFrm& results) {
  return results.Toolbar()->findChild<QAction*>(QStringLiteral("menuPlot"));
}

int Screenshots(const QDir& out, const QString& data) {
  quelvaris::tools::ToolMain tool(data);
  quelvaris::ui::Main& main = *tool.main;
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  quelvaris::tools::Enter(main, "NoOfColsText", "4");
  quelvaris::tools::Enter(main, "ThreshText", "20");
  main.findChild<QCheckBox*>(QStringLiteral("ApplyBounds"))->setChecked(true);
  quelvaris::tools::Enter(main, "UpperBoundText", "80");
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);

  bool ok = false;
  Calculate(main, [&](ResultsFrm& results) {
    PlotAction(results)->trigger();
    PlotWindow* plot = results.Plot();
    if (!plot) return;
    plot->resize(1100, 680);
    QApplication::setActiveWindow(plot);
    ok = true;
    const char* const files[] = {"plot-hydrograph.png", "plot-scatter.png", "plot-duration.png"};
    for (int view = 0; view < PlotWindow::kViewCount; ++view) {
      plot->Tabs()->setCurrentIndex(view);
      Settle(600);
      ok = quelvaris::tools::Save(*plot, out.filePath(QString::fromLatin1(files[view]))) && ok;
    }
  });
  if (tool.dialogs.unexpected != 0) std::fprintf(stderr, "unexpected message boxes\n");
  return ok && tool.dialogs.unexpected == 0 ? 0 : 1;
}

int Timing(int runs) {
  quelvaris::tools::ToolMain large;
  large.AnalyseAllThirty();
  quelvaris::ui::Main& main = *large.main;

  quelvaris::tools::FirstPaint watch([](QObject* o) {
    return o->parent() && qobject_cast<quelvaris::ui::PlotView*>(o->parent());
  });
  qApp->installEventFilter(&watch);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    Calculate(main, [&](ResultsFrm& results) {
      watch.painted = false;
      watch.clock.start();
      PlotAction(results)->trigger();
      QElapsedTimer wait;
      wait.start();
      while (!watch.painted && wait.elapsed() < 10000) QApplication::processEvents();
      if (watch.painted) times.push_back(watch.elapsed_ms);
      if (PlotWindow* plot = results.Plot()) plot->close();
    });
    if (static_cast<int>(times.size()) != run + 1) {
      std::fprintf(stderr, "run %d: the plot was never painted\n", run + 1);
      return 1;
    }
    std::printf("run %d: %.1f ms from Plot to the painted hydrograph of 30 series\n", run + 1,
                times.back());
  }
  std::sort(times.begin(), times.end());
  std::printf("median of %d runs: %.1f ms\n", runs, times[times.size() / 2]);
  return large.dialogs.unexpected == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc >= 2 && QString::fromLatin1(argv[1]) == QLatin1String("--time")) {
    return Timing(argc > 2 ? std::max(1, std::atoi(argv[2])) : 7);
  }
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s <output folder> <data file of four columns>\n"
                 "       %s --time [runs]\n",
                 argv[0], argv[0]);
    return 2;
  }
  return Screenshots(QDir(QString::fromLocal8Bit(argv[1])),
                     QDir().absoluteFilePath(QString::fromLocal8Bit(argv[2])));
}
