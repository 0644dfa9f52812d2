// Screenshots of the splash window and the settings window for the README:
//   xvfb-run -a settings_screenshots <output folder> [default directory]
// Writes splash.png and settings.png. The settings file used is a temporary one, so the
// user's own settings are neither read nor written.

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "settings/global_settings.h"
#include "tool_support.h"
#include "ui/settings/settings_window.h"
#include "ui/splash/intro.h"

namespace {

// The directory list fills in the background; give it time to show its folders.
bool ShowAndSave(QWidget& window, const QString& path) {
  window.show();
  quelvaris::tools::Settle(1500);
  return quelvaris::tools::Save(window, path);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quelvaris::tools::UseLookAskedFor();
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder> [default directory]\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir temp(QDir::temp().filePath("quelvaris-demo-XXXXXX"));
  quelvaris::GlobalSettings settings;
  quelvaris::SetDefaultSettings(settings);
  settings.INIFile = temp.filePath("Quelvaris.INI").toStdString();
  if (argc > 2) {
    settings.DefaultDir = settings.LoadedDefaultDir = argv[2];
  } else {
    // A small tree of study folders, so the picture shows a default directory as users keep them.
    const QDir studies(temp.filePath("river-studies"));
    for (const char* sub : {"catchment-north", "catchment-south", "gauges", "model-runs"}) {
      studies.mkpath(sub);
    }
    settings.DefaultDir = settings.LoadedDefaultDir =
        studies.filePath("catchment-south").toStdString();
  }

  quelvaris::ui::Intro intro(
      settings, [] {}, [] {});
  intro.setAttribute(Qt::WA_DeleteOnClose, false);
  quelvaris::ui::Settings window(settings);
  const bool ok = ShowAndSave(intro, out.filePath("splash.png")) &&
                  ShowAndSave(window, out.filePath("settings.png"));
  return ok ? 0 : 1;
}
