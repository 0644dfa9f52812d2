// How long the desktop program takes from the Calculate click to the results window on screen,
// for the largest file it accepts (10,000 rows of 30 columns, every model analysed):
//   results_timing [runs]        (QT_QPA_PLATFORM=offscreen or under xvfb-run -a)
// The summary box is answered at once, so the figure is the program's own time.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "settings/global_settings.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"

namespace {

using quelvaris::MessageAnswer;
using quelvaris::MessageButtons;
using quelvaris::MessageIcon;

class AutoDialogs : public quelvaris::ui::Dialogs {
 public:
  explicit AutoDialogs(QString file) : file_(std::move(file)) {}
  MessageAnswer Message(QWidget*, const std::string& title, const std::string&, MessageIcon,
                        MessageButtons buttons) override {
    if (title != "Results") ++unexpected;
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QStringList&) override {
    return file_;
  }
  bool SetUpPrinter(QWidget*, QPrinter&) override { return false; }
  int unexpected = 0;

 private:
  QString file_;
};

// Daily flows: a seasonal wave with noise; the models follow it with their own errors, and
// a few observations are missing.
void WriteLargeFile(const QString& path) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  std::mt19937 rng(20240601);
  std::normal_distribution<double> noise(0.0, 1.0);
  char buffer[32];
  for (int row = 0; row < 10000; ++row) {
    const double season = 40 + 25 * std::sin(row * 2 * 3.141592653589793 / 365.0);
    const double observed = std::max(0.5, season + 6 * noise(rng));
    std::snprintf(buffer, sizeof buffer, "%.2f", row % 97 == 0 ? -999.0 : observed);
    out << buffer;
    for (int col = 2; col <= 30; ++col) {
      const double modelled = std::max(0.1, observed * (0.9 + 0.01 * col) + 3 * noise(rng));
      std::snprintf(buffer, sizeof buffer, "\t%.2f", modelled);
      out << buffer;
    }
    out << "\r\n";
  }
}

// Notes when the results window has been painted for the first time.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted && watched->objectName() == "ResPicture") {
      painted = true;
      elapsed_ms = clock.nsecsElapsed() / 1e6;
    }
    return false;
  }
  QElapsedTimer clock;
  bool painted = false;
  double elapsed_ms = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  QTemporaryDir temp;
  const QString data = temp.filePath(QStringLiteral("large.txt"));
  WriteLargeFile(data);
  AutoDialogs dialogs(data);
  quelvaris::ui::SetDialogs(&dialogs);

  quelvaris::GlobalSettings settings;
  quelvaris::SetDefaultSettings(settings);
  quelvaris::ui::Main main(settings);
  main.show();
  QApplication::setActiveWindow(&main);
  QApplication::processEvents();
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  auto* columns = main.findChild<QLineEdit*>(QStringLiteral("NoOfColsText"));
  columns->setText(QStringLiteral("30"));
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  main.findChild<QCheckBox*>(QStringLiteral("CalcAICBIC"))->setChecked(true);

  FirstPaint watch;
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
              times[times.size() / 2], dialogs.unexpected);
  quelvaris::ui::SetDialogs(nullptr);
  return dialogs.unexpected == 0 ? 0 : 1;
}
