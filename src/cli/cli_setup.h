#pragma once

#include <optional>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "engine/analysis_session.h"
#include "settings/global_settings.h"

namespace CLI {
class App;
}

namespace quelvaris::cli {

// Exit statuses of the batch programs: 0 when everything asked for was written and no error
// box was shown, 1 when the run stopped, an error box was shown or an output failed, 2 for a
// wrong command line (unknown option or a rejected value).
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

// Parses the command line. Nothing when the run goes on; otherwise the exit status: 0 after
// --help (printed to standard output), kExitUsage after a parse error (said on standard error).
std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv);

// The settings the desktop program would start with (a settings file that does not exist
// leaves the defaults), a request reset as the main window resets it, then the options taken
// into both and into the host's boxes and switches. False after a rejected value, whose
// message the host has shown.
bool PrepareRun(const CliOptions& options, CliHost& host, GlobalSettings& settings,
                AnalysisSession& session);

}  // namespace quelvaris::cli
