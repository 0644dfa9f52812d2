// quelvaris-cli: the batch front end. It runs the same analysis as the desktop program's
// Calculate command, with the options standing in for the main window's boxes and switches.
//
// Exit status: 0 when the report was written and no error box was shown, 1 when the run stopped
// or an error box was shown, 2 for a wrong command line (unknown option or a rejected value).

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_reports.h"
#include "cli/cli_setup.h"
#include "engine/analysis_run.h"
#include "settings/global_settings.h"

using namespace quelvaris;

int main(int argc, char** argv) {
  cli::CliOptions options;
  CLI::App app{"Reports how well one or more models reproduce observed values.", "quelvaris-cli"};
  app.set_version_flag("--version", "quelvaris-cli " QUELVARIS_VERSION);
  cli::DeclareOptions(app, options);
  if (auto status = cli::ParseCommandLine(app, argc, argv)) return *status;

  cli::CliHost host({}, stderr, options.quiet);
  GlobalSettings settings;
  auto session = std::make_unique<AnalysisSession>();
  if (!cli::PrepareRun(options, host, settings, *session)) return cli::kExitUsage;

  cli::CliReports reports(stdout);
  RunAnalysis(RunContext{*session, settings, host}, reports);
  return reports.report_written() && host.error_boxes() == 0 ? 0 : cli::kExitRunFailed;
}
