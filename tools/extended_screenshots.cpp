// A screenshot of the extended figures' window for the README, and how long the window of the
// largest run takes to open:
//   xvfb-run -a extended_screenshots <output folder> examples/three_models.txt
//   extended_screenshots --time [runs]     (QT_QPA_PLATFORM=offscreen or under xvfb-run -a)
// The screenshot comes from a run of every model of the example; the timing from 10,000 rows
// of 30 columns, every model analysed, measured from the Extended click to the first paint of
// the table. The screen with the window of a twelve-model run on it is written as well
// (extended-twelve-models-WxH.png, W x H the screen's size), to see the window fit the screen.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>

#include "tool_support.h"
#include "ui/extended/extended_window.h"
#include "ui/main/main_window.h"
#include "ui/results/results_frm.h"

namespace {

using quelvaris::tools::Calculate;
using quelvaris::ui::ExtendedWindow;
using quelvaris::ui::ResultsFrm;

QAction* ExtendedAction(ResultsFrm& results) {
  return results.Toolbar()->findChild<QAction*>(QStringLiteral("menuExtended"));
}

int Screenshot(const QDir& out, const QString& data) {
  quelvaris::tools::ToolMain tool(data);
  quelvaris::ui::Main& main = *tool.main;
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  quelvaris::tools::Enter(main, "NoOfColsText", "4");
  main.findChild<QCheckBox*>(QStringLiteral("AnalyseAllCheck"))->setChecked(true);

  bool ok = false;
  Calculate(main, [&](ResultsFrm& results) {
    ExtendedAction(results)->trigger();
    ExtendedWindow* window = results.Extended();
    if (!window) return;
    QApplication::setActiveWindow(window);
    quelvaris::tools::Settle(400);
    ok = quelvaris::tools::Save(*window, out.filePath(QStringLiteral("extended.png")));

    // The same window with the tooltip of the first label, taken from the screen since a
    // tooltip is a window of its own.
    QTableWidget* table = window->Table();
    QHeaderView* labels = table->verticalHeader();
    const QPoint at =
        labels->mapToGlobal(QPoint(labels->width() / 2, labels->sectionViewportPosition(0) + 4));
    QToolTip::showText(at, table->verticalHeaderItem(0)->toolTip(), labels);
    quelvaris::tools::Settle(600);
    const QRect frame = window->frameGeometry();
    const QPixmap shot =
        window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString path = out.filePath(QStringLiteral("extended-tooltip.png"));
    if (shot.save(path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      ok = false;
    }
  });

  // Twelve models: wider than the example's table, narrower than a roomy screen.
  QTemporaryDir temp;
  const QString twelve = temp.filePath(QStringLiteral("twelve_models.txt"));
  quelvaris::tools::WriteFlowsFile(twelve, 60, 13);
  tool.dialogs.SetFile(twelve);
  main.findChild<QPushButton*>(QStringLiteral("SelectButton"))->click();
  quelvaris::tools::Enter(main, "NoOfColsText", "13");
  bool twelve_ok = false;
  Calculate(main, [&](ResultsFrm& results) {
    ExtendedAction(results)->trigger();
    ExtendedWindow* window = results.Extended();
    if (!window) return;
    QApplication::setActiveWindow(window);
    quelvaris::tools::Settle(400);
    twelve_ok = quelvaris::tools::SaveScreen(
        *window, out.filePath(QStringLiteral("extended-twelve-models-%1.png")
                                  .arg(quelvaris::tools::ScreenSizeText(*window))));
  });
  ok = ok && twelve_ok;
  if (tool.dialogs.unexpected != 0) std::fprintf(stderr, "unexpected message boxes\n");
  return ok && tool.dialogs.unexpected == 0 ? 0 : 1;
}

int Timing(int runs) {
  return quelvaris::tools::TimeChildWindow(
      runs,
      [](QObject* o) {
        auto* view = o->parent() ? qobject_cast<QAbstractItemView*>(o->parent()) : nullptr;
        return view && view->objectName() == QLatin1String("ExtendedTable");
      },
      [](ResultsFrm& results) { ExtendedAction(results)->trigger(); },
      [](ResultsFrm& results) {
        if (ExtendedWindow* window = results.Extended()) window->close();
      },
      "from Extended to the painted table of 29 models");
}

}  // namespace

int main(int argc, char** argv) {
  return quelvaris::tools::ScreenshotsOrTiming(argc, argv, Screenshot, Timing);
}
