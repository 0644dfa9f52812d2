#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "engine/analysis_session.h"
#include "settings/global_settings.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// Exit statuses of the batch programs: 0 when everything asked for was written and no error
// box was shown, 1 when a run stopped, an error box was shown or an output failed, 2 for a
// wrong command line (unknown option or a rejected value; nothing is read or written then).
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

// Parses the command line (argv without the program name). Nothing when the run goes on;
// otherwise the exit status: 0 after --help or --version (printed to standard output),
// kExitUsage after a parse error (said on standard error).
std::optional<int> ParseCommandLine(CLI::App& app, std::vector<std::string> words);
std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv);

// Further checks of a program's own options, run after the shared ones and before anything is
// read; each returns the message of a rejected value, or nothing.
using ExtraCheck = std::function<std::optional<std::string>()>;

// Every value of the command line is checked first, in the order of the usage line, and the
// first rejection ends it (false; the host has shown its message) before the settings file is
// read. Then the settings the desktop program would start with (a settings file that does not
// exist leaves the defaults), with --missing-code and --decimals over them, a request reset as
// the main window resets it, and the options taken into it and into the host's boxes and
// switches.
bool PrepareRun(const CliOptions& options, CliHost& host, GlobalSettings& settings,
                AnalysisSession& session, const ExtraCheck& extra_check = {});

}  // namespace quelvaris::cli
