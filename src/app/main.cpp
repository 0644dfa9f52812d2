#include <QApplication>

#include "settings/global_settings.h"
#include "ui/main/main_window.h"
#include "ui/settings/settings_window.h"
#include "ui/splash/start_up.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quelvaris");
  QApplication::setApplicationVersion("1.3");

  quelvaris::GlobalSettings settings;
  quelvaris::ui::Program program(settings);
  program.SetMainSetUp([&settings](quelvaris::ui::Main& main) {
    main.SetSettingsOpener(
        [&settings](QWidget* parent) { quelvaris::ui::OpenSettingsWindow(settings, parent); });
  });
  program.StartUp();
  return QApplication::exec();
}
