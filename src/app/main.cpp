#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <array>
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

enum class Request { kRun, kHelp, kVersion, kUnknown };

// The options the application object takes for itself (Qt's own: -platform xcb, -style ...),
// given with one dash or two, as `-name value` or `-name=value`.
bool QtOption(std::string_view name) {
  static constexpr std::array<std::string_view, 22> kNames{"platform",
                                                           "platformpluginpath",
                                                           "platformtheme",
                                                           "plugin",
                                                           "qwindowgeometry",
                                                           "qwindowicon",
                                                           "qwindowtitle",
                                                           "reverse",
                                                           "session",
                                                           "style",
                                                           "stylesheet",
                                                           "widgetcount",
                                                           "display",
                                                           "geometry",
                                                           "title",
                                                           "name",
                                                           "nograb",
                                                           "dograb",
                                                           "sync",
                                                           "qmljsdebugger",
                                                           "fontengine",
                                                           "testability"};
  return std::find(kNames.begin(), kNames.end(), name.substr(0, name.find('='))) != kNames.end();
}

// --help and --version are answered before the application object exists: that object needs a
// display, and neither answer does. The first of them on the command line wins; after "--"
// every argument is a file name. A long option that neither this program nor Qt knows is
// answered here too, as the command-line parser would answer it, rather than after the
// application object has failed for want of a display.
Request EarlyRequest(int argc, char** argv, std::string_view& unknown) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help" || arg == "--help-all") return Request::kHelp;
    if (arg == "-v" || arg == "--version") return Request::kVersion;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg.size() > 2 && arg.substr(0, 2) == "--" && !QtOption(arg.substr(2))) {
      unknown = arg.substr(2, arg.substr(2).find('='));
      return Request::kUnknown;
    }
  }
  return Request::kRun;
}

int Answer(Request request, std::string_view unknown) {
  if (request == Request::kUnknown) {
    std::fprintf(stderr, "quelvaris: Unknown option '%.*s'.\n", static_cast<int>(unknown.size()),
                 unknown.data());
    return 1;
  }
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
  std::string_view unknown;
  if (const Request request = EarlyRequest(argc, argv, unknown); request != Request::kRun) {
    return Answer(request, unknown);
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
