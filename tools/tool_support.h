// Pieces shared by the window tools: dialogs that answer themselves, waiting for the windows
// to settle, typing into a box, and the largest data file the program accepts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "settings/global_settings.h"
#include "ui/common/dialogs.h"
#include "ui/main/main_window.h"
#include "ui/results/results_frm.h"

namespace quelvaris::tools {

// Says OK (or Yes) to every box, picks `file` (or the one set later) in every file picker,
// cancels the printer dialog. Boxes with another title than "Results" are counted as unexpected;
// with `echo` every box is printed.
class AutoDialogs : public ui::Dialogs {
 public:
  explicit AutoDialogs(QString file, bool echo = false) : file_(std::move(file)), echo_(echo) {}
  MessageAnswer Message(QWidget*, const std::string& title, const std::string& text, MessageIcon,
                        MessageButtons buttons) override {
    if (echo_) std::printf("[%s] %s\n", title.c_str(), text.c_str());
    if (title != "Results") ++unexpected;
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QStringList&,
                                      ui::FilePick) override {
    return file_;
  }
  bool SetUpPrinter(QWidget*, QPrinter&) override { return false; }
  void SetFile(QString file) { file_ = std::move(file); }
  int unexpected = 0;

 private:
  QString file_;
  bool echo_;
};

// With QUELVARIS_TOOL_LOOK=dark in the environment, the windows are shown in the Fusion style
// with a dark palette, to see that everything stays readable there; with
// QUELVARIS_TOOL_FONT_SIZE=N, in an application font of N points, as a desktop theme may set
// it. Call after QApplication.
inline void UseLookAskedFor() {
  if (const int points = qEnvironmentVariableIntValue("QUELVARIS_TOOL_FONT_SIZE"); points > 0) {
    QFont font = QApplication::font();
    font.setPointSize(points);
    QApplication::setFont(font);
  }
  if (qgetenv("QUELVARIS_TOOL_LOOK") != "dark") return;
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette dark;
  const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xe8, 0xe8, 0xe8);
  dark.setColor(QPalette::Window, window);
  dark.setColor(QPalette::WindowText, text);
  dark.setColor(QPalette::Base, base);
  dark.setColor(QPalette::AlternateBase, window);
  dark.setColor(QPalette::ToolTipBase, base);
  dark.setColor(QPalette::ToolTipText, text);
  dark.setColor(QPalette::Text, text);
  dark.setColor(QPalette::Button, window);
  dark.setColor(QPalette::ButtonText, text);
  dark.setColor(QPalette::BrightText, Qt::red);
  dark.setColor(QPalette::Link, QColor(0x5a, 0xa0, 0xe6));
  dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
  dark.setColor(QPalette::HighlightedText, Qt::black);
  dark.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    dark.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
  }
  QApplication::setPalette(dark);
}

// Lets the windows lay themselves out and paint for `ms` milliseconds.
inline void Settle(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Writes what `window` shows to a PNG file and names it on standard output.
inline bool Save(QWidget& window, const QString& path) {
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// Writes the whole screen `window` is on to a PNG file: where the window lies and whether it
// fits, which a picture of the window alone does not show.
inline bool SaveScreen(QWidget& window, const QString& path) {
  if (!window.screen()->grabWindow(0).save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

// The screen's size in the file names of the pictures that depend on it, as "1280x1024".
inline QString ScreenSizeText(const QWidget& window) {
  const QSize size = window.screen()->size();
  return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// Runs Calculate on the main window; `with_results` gets the results window while it is shown,
// then Back closes it.
inline void Calculate(ui::Main& main, const std::function<void(ui::ResultsFrm&)>& with_results) {
  QTimer::singleShot(0, &main, [&] {
    if (ui::ResultsFrm* results = main.Results()) {
      with_results(*results);
      results->ToolbarClick(QStringLiteral("menuBack"));
    }
  });
  main.ToolbarClick(QStringLiteral("tb1Calcs"));
}

// Types into a box and leaves it with Enter, as a user would.
inline void Enter(QWidget& window, const char* name, const char* text) {
  auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name));
  box->setFocus();
  box->setText(QString::fromLatin1(text));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(box, &press);
}

// Daily flows: a seasonal wave with noise; the models follow it with their own errors, and
// every 97th observation is missing. The model in column `poor` (none when 0) gives its flows in
// thousands of cubic metres a day instead of cubic metres a second, as a run with the wrong
// output units does.
inline void WriteFlowsFile(const QString& path, int rows, int columns, int poor = 0) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  std::mt19937 rng(20240601);
  std::normal_distribution<double> noise(0.0, 1.0);
  char buffer[32];
  for (int row = 0; row < rows; ++row) {
    const double season = 40 + 25 * std::sin(row * 2 * 3.141592653589793 / 365.0);
    const double observed = std::max(0.5, season + 6 * noise(rng));
    std::snprintf(buffer, sizeof buffer, "%.2f", row % 97 == 0 ? -999.0 : observed);
    out << buffer;
    for (int col = 2; col <= columns; ++col) {
      double modelled = std::max(0.1, observed * (0.9 + 0.01 * col) + 3 * noise(rng));
      if (col == poor) modelled *= 86.4;
      std::snprintf(buffer, sizeof buffer, "\t%.2f", modelled);
      out << buffer;
    }
    out << "\r\n";
  }
}

// The largest data file the program accepts: 10,000 rows of 30 columns.
inline void WriteLargeFile(const QString& path) {
  WriteFlowsFile(path, 10000, 30);
}

// The main window on screen and active, its boxes answered by AutoDialogs and its file picker
// answering `data_file` until the object goes. Without a data file it picks the largest file
// the program accepts, written to a temporary folder.
class ToolMain {
 public:
  explicit ToolMain(const QString& data_file = {}, bool echo = false)
      : dialogs(data_file.isEmpty() ? temp_.filePath(QStringLiteral("large.txt")) : data_file,
                echo) {
    if (data_file.isEmpty()) WriteLargeFile(temp_.filePath(QStringLiteral("large.txt")));
    ui::SetDialogs(&dialogs);
    SetDefaultSettings(settings_);
    main = std::make_unique<ui::Main>(settings_);
    main->SetExitHandler([] {});
    main->show();
    // No window manager under xvfb: make the window active so focus moves as it would.
    QApplication::setActiveWindow(main.get());
    QApplication::processEvents();
  }
  ~ToolMain() { ui::SetDialogs(nullptr); }
  ToolMain(const ToolMain&) = delete;
  ToolMain& operator=(const ToolMain&) = delete;

  // Picks the data file, 30 columns, every model analysed.
  void AnalyseAllThirty() {
    main->findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
    main->findChild<QLineEdit*>(QStringLiteral("NoOfColsText"))->setText(QStringLiteral("30"));
    main->findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);
  }

 private:
  QTemporaryDir temp_;  // first: the dialogs answer a path in it

 public:
  AutoDialogs dialogs;
  std::unique_ptr<ui::Main> main;
  GlobalSettings& settings() { return settings_; }

 private:
  GlobalSettings settings_;
};

// Notes the first paint of a widget that `watched` picks, after `clock` was started.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<bool(QObject*)> watched) : watched_(std::move(watched)) {}
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted && watched_(object)) {
      painted = true;
      elapsed_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    return false;
  }
  QElapsedTimer clock;
  bool painted = false;
  double elapsed_ms = 0;

 private:
  std::function<bool(QObject*)> watched_;
};

// How long a child window of the results window takes to show, over `runs` Calculate runs of
// the largest file the program accepts with every model analysed: `open` opens the window on
// the results window, the clock stops at the first paint of a widget that `watched` picks, and
// `close` closes the window again. Prints each run ("run N: T ms " + `what`) and the median;
// returns 0 when every run painted and no unexpected box was shown.
inline int TimeChildWindow(int runs, std::function<bool(QObject*)> watched,
                           const std::function<void(ui::ResultsFrm&)>& open,
                           const std::function<void(ui::ResultsFrm&)>& close, const char* what) {
  ToolMain large;
  large.AnalyseAllThirty();
  FirstPaint watch(std::move(watched));
  qApp->installEventFilter(&watch);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    Calculate(*large.main, [&](ui::ResultsFrm& results) {
      watch.painted = false;
      watch.clock.start();
      open(results);
      QElapsedTimer wait;
      wait.start();
      while (!watch.painted && wait.elapsed() < 10000) QApplication::processEvents();
      if (watch.painted) times.push_back(watch.elapsed_ms);
      close(results);
    });
    if (static_cast<int>(times.size()) != run + 1) {
      std::fprintf(stderr, "run %d: the window was never painted\n", run + 1);
      return 1;
    }
    std::printf("run %d: %.1f ms %s\n", run + 1, times.back(), what);
  }
  qApp->removeEventFilter(&watch);
  std::sort(times.begin(), times.end());
  std::printf("median of %d runs: %.1f ms\n", runs, times[times.size() / 2]);
  return large.dialogs.unexpected == 0 ? 0 : 1;
}

// The command line of a tool that takes screenshots or, with --time, a timing:
//   <tool> <output folder> <data file of four columns>
//   <tool> --time [runs]            (7 runs unless given)
inline int ScreenshotsOrTiming(int argc, char** argv,
                               const std::function<int(const QDir&, const QString&)>& screenshots,
                               const std::function<int(int)>& timing) {
  QApplication app(argc, argv);
  UseLookAskedFor();
  if (argc >= 2 && QString::fromLatin1(argv[1]) == QLatin1String("--time")) {
    return timing(argc > 2 ? std::max(1, std::atoi(argv[2])) : 7);
  }
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s <output folder> <data file of four columns>\n"
                 "       %s --time [runs]\n",
                 argv[0], argv[0]);
    return 2;
  }
  return screenshots(QDir(QString::fromLocal8Bit(argv[1])),
                     QDir().absoluteFilePath(QString::fromLocal8Bit(argv[2])));
}

}  // namespace quelvaris::tools
