// How long the desktop program takes from the Calculate click to the results window on screen,
// for the largest file it accepts (10,000 rows of 30 columns, every model analysed):
//   results_timing [runs]        (QT_QPA_PLATFORM=offscreen or under xvfb-run -a)
// The summary box is answered at once, so the figure is the program's own time.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "settings/global_settings.h"
#include "tool_support.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"

namespace {}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  quelvaris::tools::ToolMain large;
  large.AnalyseAllThirty();
  quelvaris::ui::Main& main = *large.main;

  quelvaris::tools::FirstPaint watch(
      [](QObject* o) { return o->objectName() == QLatin1String("ResPicture"); });
  app.installEventFilter(&watch);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    watch.painted = false;
    QTimer::singleShot(0, &main, [&] {
      // Let the window come up and paint, then leave it.
      QElapsedTimer wait;
      wait.start();
      while (!watch.painted && wait.elapsed() < 5000) QApplication::processEvents();
      if (quelvaris::ui::ResultsFrm* results = main.Results()) {
        results->ToolbarClick(QStringLiteral("menuBack"));
      }
    });
    watch.clock.start();
    main.ToolbarClick(QStringLiteral("tb1Calcs"));
    if (!watch.painted) {
      std::fprintf(stderr, "run %d: the results window was never painted\n", run + 1);
      return 1;
    }
    times.push_back(watch.elapsed_ms);
    std::printf("run %d: %.1f ms from Calculate to the painted results window\n", run + 1,
                watch.elapsed_ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("median of %d runs: %.1f ms (%d unexpected message boxes)\n", runs,
              times[times.size() / 2], large.dialogs.unexpected);
  return large.dialogs.unexpected == 0 ? 0 : 1;
}
