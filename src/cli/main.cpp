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
#include "engine/analysis_run.h"
#include "engine/input_checks.h"
#include "settings/global_settings.h"
#include "settings/settings_store.h"

using namespace quelvaris;

namespace {

constexpr int kExitRunFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  cli::CliOptions options;
  CLI::App app{"Reports how well one or more models reproduce observed values.", "quelvaris-cli"};
  cli::DeclareOptions(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "quelvaris-cli: %s\nRun with --help for the options.\n", e.what());
    return kExitUsage;
  }

  cli::CliHost host({}, stderr, options.quiet);

  // The settings the desktop program would start with; a settings file that does not exist
  // simply leaves the defaults.
  GlobalSettings settings;
  SetDefaultSettings(settings);
  if (options.settings) settings.INIFile = *options.settings;
  LoadSettingsAtStart(settings, host);

  auto session = std::make_unique<AnalysisSession>();
  ResetRequest(session->request);
  cli::RunInputs inputs;
  if (auto rejected = cli::ApplyOptions(options, session->request, settings, inputs)) {
    ShowErrorMessage(host, *rejected);
    return kExitUsage;
  }
  host.SetInputs(std::move(inputs));

  cli::CliReports reports(stdout);
  RunAnalysis(RunContext{*session, settings, host}, reports);
  return reports.report_written() && host.error_boxes() == 0 ? 0 : kExitRunFailed;
}
