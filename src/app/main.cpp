#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <QUrl>

#include "settings/global_settings.h"
#include "ui/common/program_identity.h"
#include "ui/main/main_window.h"
#include "ui/settings/settings_window.h"
#include "ui/splash/start_up.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quelvaris::ui::SetProgramIdentity();

  // A data file named on the command line (as the desktop's "Open With" does) is chosen in the
  // main window when it appears, as if it had been dropped there.
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Reports how well one or more models reproduce observed values."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("The data file to analyse (optional)."));
  parser.process(app);
  QList<QUrl> files;
  for (const QString& arg : parser.positionalArguments()) {
    files << QUrl::fromUserInput(arg, QDir::currentPath(), QUrl::AssumeLocalFile);
  }

  quelvaris::GlobalSettings settings;
  quelvaris::ui::Program program(settings);
  program.SetMainSetUp([&settings, files](quelvaris::ui::Main& main) {
    main.SetSettingsOpener(
        [&settings](QWidget* parent) { quelvaris::ui::OpenSettingsWindow(settings, parent); });
    if (!files.isEmpty()) {
      QTimer::singleShot(0, &main, [&main, files] { main.TakeDataFiles(files); });
    }
  });
  program.StartUp();
  return QApplication::exec();
}
