#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <string_view>

#include "settings/global_settings.h"
#include "ui/common/program_identity.h"
#include "ui/main/main_window.h"
#include "ui/settings/settings_window.h"
#include "ui/splash/start_up.h"

namespace {

constexpr const char* kDescription =
    "Reports how well one or more models reproduce observed values.";
constexpr const char* kFileDescription = "The data file to analyse (optional).";

enum class Request { kRun, kHelp, kVersion };

// --help and --version are answered before the application object exists: that object needs a
// display, and neither answer does. The first of them on the command line wins; after "--"
// every argument is a file name.
Request EarlyRequest(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help" || arg == "--help-all") return Request::kHelp;
    if (arg == "-v" || arg == "--version") return Request::kVersion;
  }
  return Request::kRun;
}

int Answer(Request request) {
  if (request == Request::kVersion) {
    std::printf("quelvaris %s\n", QUELVARIS_VERSION);
  } else {
    std::printf(
        "Usage: quelvaris [options] [file]\n%s\n\n"
        "Options:\n"
        "  -h, --help     Displays help on commandline options.\n"
        "  -v, --version  Displays version information.\n\n"
        "Arguments:\n"
        "  file           %s\n",
        kDescription, kFileDescription);
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const Request request = EarlyRequest(argc, argv); request != Request::kRun) {
    return Answer(request);
  }
  QApplication app(argc, argv);
  quelvaris::ui::SetProgramIdentity();

  // A data file named on the command line (as the desktop's "Open With" does) is chosen in the
  // main window when it appears, as if it had been dropped there.
  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromUtf8(kDescription));
  parser.addPositionalArgument(QStringLiteral("file"), QString::fromUtf8(kFileDescription),
                               QStringLiteral("[file]"));
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
