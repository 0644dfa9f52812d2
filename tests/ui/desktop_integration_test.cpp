#include <cstdlib>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QPalette>
#include <QTest>
#include <QToolBar>

#include "scripted_dialogs.h"
#include "ui/common/program_identity.h"
#include "ui/main/main_window.h"
#include "ui/main/toolbar_icons.h"
#include "ui/plot/plot_icon.h"
#include "ui/results/results_frm.h"

namespace quelvaris::ui {
namespace {

// The density every screen has in this run: 1, or what QT_SCALE_FACTOR asks for (the
// high-density run sets it to 2, and must not pass by quietly drawing at 1).
qreal ScreenRatio() {
  const qreal ratio = qApp->devicePixelRatio();
  if (const char* scale = std::getenv("QT_SCALE_FACTOR")) {
    EXPECT_DOUBLE_EQ(ratio, std::atof(scale));
  }
  return ratio;
}

TEST(ProgramIdentityTest, WindowsShowTheProgramIconInEveryDrawnSizeAndBelongToTheDesktopEntry) {
  SetProgramIdentity();
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.quelvaris.Quelvaris"));
  EXPECT_EQ(QApplication::applicationVersion(), QStringLiteral("1.3"));
  QList<int> sides;
  for (const QSize& size : QApplication::windowIcon().availableSizes()) {
    EXPECT_EQ(size.width(), size.height());
    sides << size.width();
  }
  std::sort(sides.begin(), sides.end());
  EXPECT_EQ(sides, (QList<int>{16, 22, 24, 32, 48, 64, 128, 256}));

  GlobalSettings settings;
  testing::ScriptedDialogs dialogs;
  Main main(settings);
  ResultsFrm results(&main);
  for (QWidget* window : std::initializer_list<QWidget*>{&main, &results}) {
    EXPECT_EQ(window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey())
        << window->objectName().toStdString();
  }
  QApplication::setWindowIcon(QIcon());
}

TEST(HighDensityTest, ToolbarIconsAreDrawnForTheScreenNotScaledUp) {
  const qreal ratio = ScreenRatio();
  GlobalSettings settings;
  testing::ScriptedDialogs dialogs;
  Main main(settings);
  ResultsFrm results;
  for (QToolBar* bar : {main.findChild<QToolBar*>(QStringLiteral("Toolbar1")), results.Toolbar()}) {
    for (QAction* action : bar->actions()) {
      SCOPED_TRACE(action->objectName().toStdString());
      for (const qreal r : {1.0, 1.5, 2.0, ratio}) {
        const QPixmap pixmap = action->icon().pixmap(bar->iconSize(), r);
        EXPECT_EQ(pixmap.size(), (QSizeF(bar->iconSize()) * r).toSize()) << r;
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), r);
      }
    }
  }
}

TEST(HighDensityTest, ReportPictureHasThePixelsOfTheScreen) {
  const qreal ratio = ScreenRatio();
  ResultsFrm window;
  window.Picture()->DrawLines({{QStringLiteral("Mean:\t21.93"), false, false}});
  const QImage& image = window.Picture()->Image();
  EXPECT_DOUBLE_EQ(image.devicePixelRatio(), ratio);
  EXPECT_EQ(image.size(), window.Picture()->Size() * ratio);
  EXPECT_EQ(window.Picture()->size(), window.Picture()->Size());
  // Drawn with the density: the text covers the device pixels of its logical place.
  int dark = 0;
  for (int y = 0; y < image.height() / 20; ++y) {
    for (int x = 0; x < image.width() / 4; ++x) dark += qGray(image.pixel(x, y)) < 128;
  }
  EXPECT_GT(dark, 40 * ratio * ratio);
}

TEST(DarkPaletteTest, PlainPartsOfTheIconsFollowTheTextColour) {
  // The plot icon's axis (x = 5 of its 32 by 32 square) must stand out on a dark toolbar.
  const QPalette light = QApplication::palette();
  QPalette dark = light;
  dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
  dark.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
  for (const QPalette& palette : {light, dark}) {
    QApplication::setPalette(palette);
    const QImage image = PlotIcon().pixmap(QSize(32, 32), 1.0).toImage();
    const QColor axis = image.pixelColor(5, 24);
    const int contrast = std::abs(qGray(axis.rgb()) - qGray(palette.color(QPalette::Window).rgb()));
    EXPECT_GT(contrast, 100) << axis.name().toStdString();
    EXPECT_GT(axis.alpha(), 200);
  }
  QApplication::setPalette(light);
}

}  // namespace
}  // namespace quelvaris::ui
